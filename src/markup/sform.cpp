#include "markup/sform.h"

#include <QGroupBox>
#include <QPushButton>

#include "editor/document.h"
#include "ui/multilinebox.h"

SForm::SForm(WindowRegistry &registry)
    : EntryWindow(registry, Id, QStringLiteral("Add Text Spacing"), Border::ToolWindow, 3375, 1800)
{
    auto *frame = add<QGroupBox>(this, "Frame1", 120, 120, 3135, 1215, QStringLiteral("Text"));
    m_text = add<MultiLineBox>(frame, "Text1", 120, 240, 2895, 855);
    QPushButton *done = addDoneButton(2400, 1440, 855);
    QPushButton *cancel = addCancelButton(120, 1440, 855);

    setTabChain({m_text, done, cancel});
    m_text->setFocus();
}

void SForm::insert()
{
    document().insertFragment("<H3 STYLE=LETTER-SPACING:3em>" + m_text->text() + "</H3>");
}
