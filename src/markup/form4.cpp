#include "markup/form4.h"

#include "markup/piccomp.h"
#include "markup/picinternet.h"
#include "ui/windowregistry.h"

Form4::Form4(WindowRegistry &windows) : MenuHolder(windows, Id)
{
    addEntry("comp", QStringLiteral("From My Computer"), [this] { registry().show<PicComp>(); });
    addEntry("internet", QStringLiteral("From Internet"),
             [this] { registry().show<PicInternet>(); });
}
