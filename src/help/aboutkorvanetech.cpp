#include "help/aboutkorvanetech.h"

#include <QFrame>

#include "help/maker.h"
#include "ui/fitting.h"
#include "ui/fonts.h"
#include "ui/infolabel.h"

AboutKorvaneTech::AboutKorvaneTech(WindowRegistry &registry)
    : Window(registry, Id, QStringLiteral("About KorvaneTech"), Border::ToolWindow, 4170, 1635)
{
    // Created bottom-most first: the boxes overlap, and an upper label hides
    // what it covers of a lower one.
    auto *lead = add<InfoLabel>(this, "Label1", 480, 360, 975, 375, Maker::webAddressLead());
    auto *name =
        add<InfoLabel>(this, "Label2", 960, 240, 2775, 1215, QStringLiteral("KorvaneTechnologies"));
    name->setFont(Fonts::sans(QStringLiteral("MS Sans Serif"), 13.5));
    // Label3's box runs past the window's right edge.
    auto *trail = add<InfoLabel>(this, "Label3", 3480, 360, 1215, 1215, Maker::webAddressTrail());

    auto *rule = add<QFrame>(this, "Line1", 120, 600, 3960, 15);
    rule->setFrameStyle(QFrame::HLine | QFrame::Plain);
    rule->setLineWidth(1);

    add<InfoLabel>(this, "Label4", 120, 720, 3975, 1575,
                   "KorvaneTech provides great programming services at no cost. Just check out " +
                       Maker::webAddress());

    // The three parts read as one address: where one must shrink to show
    // whole between the others, all three shrink alike.
    Fitting::shrinkTogether({lead->caption(), name->caption(), trail->caption()});
}
