#include "markup/form4.h"

#include "app/windowregistry.h"
#include "markup/piccomp.h"
#include "markup/picinternet.h"

Form4::Form4(WindowRegistry &windows) : MenuHolder(windows, windowName())
{
    addEntry("comp", QStringLiteral("From My Computer"), [this] { registry().show<PicComp>(); });
    addEntry("internet", QStringLiteral("From Internet"),
             [this] { registry().show<PicInternet>(); });
}
