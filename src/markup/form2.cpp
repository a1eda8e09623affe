#include "markup/form2.h"

#include "editor/document.h"

Form2::Form2(WindowRegistry &registry) : MenuHolder(registry, Id)
{
    addEntry("redb", QStringLiteral("Red Bullet"),
             [this] { document().insertFragment("<img src=Bullets/redbullet.gif>"); });
    addEntry("blueb", QStringLiteral("Blue Bullet"),
             [this] { document().insertFragment("<img src=Bullets/bluebullet.gif>"); });
    addEntry("yellowb", QStringLiteral("Yellow Bullet"),
             [this] { document().insertFragment("<img src=Bullets/yellowbullet.gif>"); });
}
