#include "markup/form3.h"

#include "editor/document.h"

Form3::Form3(WindowRegistry &registry) : MenuHolder(registry, Id)
{
    addEntry("redl", QStringLiteral("Red Line"),
             [this] { document().insertFragment("<img src=Lines/redline.bmp>"); });
    addEntry("bluel", QStringLiteral("Blue Line"),
             [this] { document().insertFragment("<img src=Lines/blueline.bmp>"); });
    addEntry("yellowl", QStringLiteral("Yellow Line"),
             [this] { document().insertFragment("<img src=Lines/yellowline.bmp>"); });
}
