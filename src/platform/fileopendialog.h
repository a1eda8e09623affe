#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QFileDialog;
class QWidget;

// The standard file-open dialog as the windows use it: a default extension, a
// filter of one description and its patterns, and the file name, which stays
// as it was when the user cancels. Tests install a runner in place of the dialog.
class FileOpenDialog : public QObject
{
    Q_OBJECT

public:
    // Returns the chosen path, or nothing when the user cancelled.
    using Runner = std::function<std::optional<QString>(const FileOpenDialog &, QWidget *parent)>;

    explicit FileOpenDialog(QObject *parent = nullptr);

    // Extensions separated by ';', each with its dot, such as ".html;.htm".
    void setDefaultExtension(const QString &extensions);
    QString defaultExtension() const { return m_defaultExtension; }

    // One file type: its description as shown and the patterns it lists.
    void setFilter(const QString &description, const QStringList &patterns);
    QString filterDescription() const { return m_filterDescription; }
    QStringList filterPatterns() const { return m_filterPatterns; }

    QString fileName() const { return m_fileName; }

    // Runs the dialog modally to `parent`; a chosen file becomes the file name.
    // It starts in the folder of `pathInBox`, or else in that of the last file
    // picked in any dialog of this run, or else in the working folder.
    void showOpen(QWidget *parent, const QString &pathInBox = QString());
    // The folder the running dialog started in; empty for the working folder.
    QString startFolder() const { return m_startFolder; }
    // Forgets the last file picked, as at program start.
    static void forgetLastPick() { lastFolder().clear(); }

    static void setRunner(Runner runner);

    // Gives Qt's dialog this dialog's filter and default extension.
    void configure(QFileDialog &fileDialog) const;

private:
    static std::optional<QString> runStandardDialog(const FileOpenDialog &dialog, QWidget *parent);
    static Runner &runner();
    static QString &lastFolder();

    QString m_defaultExtension;
    QString m_filterDescription;
    QStringList m_filterPatterns;
    QString m_fileName;
    QString m_startFolder;
};
