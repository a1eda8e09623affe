#include "files/openform.h"

#include <QApplication>
#include <QPointer>
#include <QPushButton>

#include "editor/document.h"
#include "files/pagefile.h"
#include "files/savefirst.h"
#include "platform/filename.h"
#include "platform/fileopendialog.h"
#include "platform/messagebox.h"
#include "ui/pathbox.h"
#include "ui/windowregistry.h"

OpenForm::OpenForm(WindowRegistry &registry)
    : Window(registry, Id, QStringLiteral("Open HTML File"), Border::ToolWindow, 4680, 1155),
      m_browse(add<QPushButton>(this, "Command1", 3480, 360, 855, 255, QStringLiteral("Browse"))),
      m_path(add<PathBox>(this, "Text1", 360, 360, 3015, 285)),
      m_open(add<QPushButton>(this, "Command2", 3480, 720, 855, 255, QStringLiteral("Open"))),
      m_cancel(add<QPushButton>(this, "Command3", 360, 720, 735, 255, QStringLiteral("Cancel"))),
      m_dialog(new FileOpenDialog(this))
{
    m_dialog->setFilter(QStringLiteral("WebPage File (*.html;*.htm)"),
                        {QStringLiteral("*.html"), QStringLiteral("*.htm")});
    m_dialog->setDefaultExtension(QStringLiteral(".html;.htm"));

    m_path->setAccessibleName(QStringLiteral("File path"));
    setTabChain({m_browse, m_path, m_open, m_cancel});
    m_browse->setFocus();

    connect(m_browse, &QPushButton::clicked, this, &OpenForm::browse);
    connect(m_open, &QPushButton::clicked, this, &OpenForm::open);
    connect(m_cancel, &QPushButton::clicked, this, &OpenForm::close);
}

void OpenForm::browse()
{
    m_dialog->showOpen(this, m_path->text());
    m_path->setText(m_dialog->fileName());
}

void OpenForm::open()
{
    const QString path = m_path->text();
    if (path.isEmpty())
        return;
    // A changed page is saved first if the user wants; the window stays open
    // until the page is opened, so that a failure can be corrected.
    const auto openIt = [&registry = registry(), window = QPointer<OpenForm>(this), path] {
        if (openPage(registry.document(), path) && window)
            window->close();
    };
    if (saveIfChanged(registry(), openIt))
        openIt();
}

bool OpenForm::openPage(Document &document, const QString &path)
{
    QString reason;
    // A page of many megabytes takes a moment to read and lay out.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::optional<PageCodec::Page> page = PageFile::read(path, &reason);
    if (page)
        document.setPage(page->text, page->format, FileName::absolute(path));
    QApplication::restoreOverrideCursor();
    if (!page) {
        MessageBox::inform("Could not open \"" + path + "\": " + reason + ".",
                           QStringLiteral("Error"), QMessageBox::Warning);
        return false;
    }
    return true;
}
