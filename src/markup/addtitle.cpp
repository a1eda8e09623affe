#include "markup/addtitle.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "editor/document.h"

AddTitle::AddTitle(WindowRegistry &registry)
    : EntryWindow(registry, Id, QStringLiteral("Add Title"), Border::ToolWindow, 2580, 1380)
{
    // The frame is drawn around the box, which lies on top of it.
    add<QGroupBox>(this, "Frame1", 120, 120, 2415, 735, QStringLiteral("Title"));
    m_title = add<QLineEdit>(this, "Text1", 240, 360, 2175, 375);
    m_title->setAccessibleName(QStringLiteral("Title"));
    QPushButton *done = addDoneButton(1800, 960, 735);
    QPushButton *cancel = addCancelButton(120, 960, 735);

    setTabChain({m_title, done, cancel});
    m_title->setFocus();
}

void AddTitle::insert()
{
    document().insertFragment("<title>" + m_title->text() + "</title>");
}
