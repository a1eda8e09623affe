#include "help/abouthtml.h"

#include <QFrame>

#include "help/maker.h"
#include "ui/fitting.h"
#include "ui/fonts.h"
#include "ui/infolabel.h"

AboutHtml::AboutHtml(WindowRegistry &registry)
    : Window(registry, Id, QStringLiteral("About Tagloom"), Border::ToolWindow, 4575, 2955)
{
    auto *frame = add<QFrame>(this, "Shape1", 480, 600, 3615, 1815);
    frame->setFrameStyle(QFrame::Box | QFrame::Plain);
    frame->setLineWidth(1);

    // The title runs over the rectangle's top edge, which shows through below the text.
    auto *title =
        add<InfoLabel>(this, "Label1", 1440, 240, 2175, 495, QStringLiteral("Tagloom v1"));
    title->setFont(Fonts::sans(QStringLiteral("Arial"), 14.25));
    title->setTransparent();

    add<InfoLabel>(this, "Label2", 600, 840, 3375, 735,
                   QStringLiteral("A simple editor for hand-written HTML pages."));
    // The address is one long word: it cannot wrap, so a wide font is made to fit.
    auto *address = add<InfoLabel>(this, "Label3", 600, 1800, 3375, 375, Maker::webAddress());
    address->setFont(
        Fitting::shrunkToFit(address->font(), address->text(), address->size(), Qt::TextWordWrap));
}
