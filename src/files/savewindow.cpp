#include "files/savewindow.h"

#include <QGroupBox>
#include <QPushButton>

#include "editor/document.h"
#include "files/pagefile.h"
#include "platform/filename.h"
#include "platform/messagebox.h"
#include "ui/pathbox.h"

SaveWindow::SaveWindow(WindowRegistry &registry, WindowId id)
    : Window(registry, id, QStringLiteral("Save..."), Border::ToolWindow, 4575, 1380),
      m_frame(add<QGroupBox>(this, "Frame1", 120, 120, 4215, 975, QStringLiteral("HTML Title"))),
      m_title(add<PathBox>(m_frame, "title", 120, 360, 2895, 375)),
      m_save(add<QPushButton>(m_frame, "Command1", 3120, 360, 975, 375, QStringLiteral("Save")))
{
    setTabChain({m_title, m_save});
    m_title->setFocus();
    connect(m_save, &QPushButton::clicked, this, &SaveWindow::save);
}

void SaveWindow::save()
{
    const QString fileName = m_title->text() + ".html";
    const Document &page = document();
    const auto text = [&page](const std::function<void(QStringView)> &chunk) {
        page.readText(chunk);
    };
    QString oldPageAt;
    if (PageFile::write(fileName, text, page.length(), page.format(), nullptr, &oldPageAt)) {
        document().setSaved(FileName::absolute(fileName));
        MessageBox::inform(QStringLiteral("File successfully saved!"), QStringLiteral("Saved"));
        saved();
    } else {
        MessageBox::inform(QStringLiteral("Invalid File Name"), QStringLiteral("Error"));
        // A write over the old page failed and could not be undone: its old
        // text survives only in the copy.
        if (!oldPageAt.isEmpty())
            MessageBox::inform(QStringLiteral("The old page could not be written back. "
                                              "Its old text is kept in ") +
                                   oldPageAt,
                               QStringLiteral("Error"));
    }
    close();
}
