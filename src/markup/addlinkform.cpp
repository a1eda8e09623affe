#include "markup/addlinkform.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "editor/document.h"

AddLinkForm::AddLinkForm(WindowRegistry &registry)
    : EntryWindow(registry, Id, QStringLiteral("Add Link"), Border::ToolWindowNoClose, 4050, 1920)
{
    auto *textFrame =
        add<QGroupBox>(this, "Frame1", 120, 120, 3735, 615, QStringLiteral("Link Text"));
    m_text = add<QLineEdit>(textFrame, "ltext", 120, 240, 3495, 285);
    auto *urlFrame =
        add<QGroupBox>(this, "Frame2", 120, 840, 3735, 615, QStringLiteral("Link URL"));
    m_url = add<QLineEdit>(urlFrame, "url", 120, 240, 3495, 285);
    QPushButton *done = addDoneButton(3000, 1560, 855);
    QPushButton *cancel = addCancelButton(120, 1560, 855);

    // The address comes first, below the link text.
    setTabChain({m_url, m_text, done, cancel});
    m_url->setFocus();
}

void AddLinkForm::insert()
{
    document().insertFragment("<a href=" + m_url->text() + ">" + m_text->text() + "</a>");
}
