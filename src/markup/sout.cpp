#include "markup/sout.h"

#include <QGroupBox>
#include <QPushButton>

#include "editor/document.h"
#include "ui/multilinebox.h"

Sout::Sout(WindowRegistry &registry)
    : EntryWindow(registry, Id, QStringLiteral("Add Slashout"), Border::ToolWindow, 4680, 3195)
{
    // The frame is drawn around the box, which lies on top of it.
    add<QGroupBox>(this, "Frame1", 360, 120, 3855, 2415, QStringLiteral("Text to Slashout"));
    m_text = add<MultiLineBox>(this, "Text1", 600, 360, 3375, 2055);
    m_text->setAccessibleName(QStringLiteral("Text to Slashout"));
    QPushButton *done = addDoneButton(3480, 2640, 735);
    QPushButton *cancel = addCancelButton(360, 2640, 735);

    setTabChain({m_text, done, cancel});
    m_text->setFocus();
}

void Sout::insert()
{
    document().insertFragment("<s>" + m_text->text() + "</s>");
}
