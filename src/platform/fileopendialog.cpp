#include "platform/fileopendialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>

FileOpenDialog::FileOpenDialog(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("CommonDialog1"));
}

void FileOpenDialog::setDefaultExtension(const QString &extensions)
{
    m_defaultExtension = extensions;
}

void FileOpenDialog::setFilter(const QString &description, const QStringList &patterns)
{
    m_filterDescription = description;
    m_filterPatterns = patterns;
}

void FileOpenDialog::showOpen(QWidget *parent, const QString &pathInBox)
{
    const QFileInfo inBox(pathInBox);
    const QDir boxFolder = inBox.isDir() ? QDir(inBox.absoluteFilePath()) : inBox.absoluteDir();
    m_startFolder =
        !pathInBox.isEmpty() && boxFolder.exists() ? boxFolder.absolutePath() : lastFolder();
    const std::optional<QString> chosen =
        runner() ? runner()(*this, parent) : runStandardDialog(*this, parent);
    if (chosen) {
        m_fileName = *chosen;
        lastFolder() = QFileInfo(*chosen).absolutePath();
    }
}

QString &FileOpenDialog::lastFolder()
{
    static QString folder;
    return folder;
}

void FileOpenDialog::setRunner(Runner runner)
{
    FileOpenDialog::runner() = std::move(runner);
}

FileOpenDialog::Runner &FileOpenDialog::runner()
{
    static Runner instance;
    return instance;
}

std::optional<QString> FileOpenDialog::runStandardDialog(const FileOpenDialog &dialog,
                                                         QWidget *parent)
{
    // The dialog keeps its history and last folder in the user's settings,
    // while the program remembers nothing between runs: point the settings at
    // a folder where no file can be made, so that none is read or written.
    // Qt's own dialog, since a desktop's native one keeps such state too.
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        QSettings::setPath(format, QSettings::UserScope, QStringLiteral("/dev/null"));
    QFileDialog fileDialog(parent);
    fileDialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.configure(fileDialog);
    if (fileDialog.exec() != QDialog::Accepted || fileDialog.selectedFiles().isEmpty())
        return std::nullopt;
    return fileDialog.selectedFiles().constFirst();
}

void FileOpenDialog::configure(QFileDialog &fileDialog) const
{
    fileDialog.setAcceptMode(QFileDialog::AcceptOpen);
    fileDialog.setFileMode(QFileDialog::ExistingFile);
    // Qt reads the patterns from the last parentheses of a filter, separated by
    // blanks; the description itself lists them with ';'. Hiding the details
    // shows the description exactly as given.
    fileDialog.setNameFilter(m_filterDescription + QStringLiteral(" (") +
                             m_filterPatterns.join(QLatin1Char(' ')) + QLatin1Char(')'));
    fileDialog.setOption(QFileDialog::HideNameFilterDetails);
    if (!m_startFolder.isEmpty())
        fileDialog.setDirectory(m_startFolder);
    // A name typed without extension gets the first default extension.
    const QString firstExtension = m_defaultExtension.section(QLatin1Char(';'), 0, 0);
    if (firstExtension.startsWith(QLatin1Char('.')))
        fileDialog.setDefaultSuffix(firstExtension.mid(1));
}
