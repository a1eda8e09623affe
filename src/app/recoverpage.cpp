#include "app/recoverpage.h"

#include <QLocale>

#include "editor/document.h"
#include "platform/messagebox.h"
#include "recovery/journal.h"
#include "recovery/journalfolder.h"
#include "ui/windowregistry.h"

namespace {

QString pageName(const QString &path)
{
    return path.isEmpty() ? QStringLiteral("a new page") : path;
}

QString timeOf(const QDateTime &time)
{
    return QLocale().toString(time, QLocale::ShortFormat);
}

// Yes, No or Ignore ("Keep for later").
QMessageBox::StandardButton ask(const JournalFolder::Leftover &leftover)
{
    return MessageBox::show({QStringLiteral("Tagloom closed without saving your changes to ") +
                                 pageName(leftover.pagePath) + " (" + timeOf(leftover.written) +
                                 "). Recover them?",
                             QStringLiteral("Tagloom"),
                             QMessageBox::Yes | QMessageBox::No | QMessageBox::Ignore,
                             QMessageBox::Yes,
                             QMessageBox::Question,
                             {{QMessageBox::Ignore, QStringLiteral("Keep for later")}},
                             QMessageBox::Ignore});
}

} // namespace

void offerRecovery(WindowRegistry &registry, Journal &journal)
{
    for (JournalFolder::Leftover &leftover : JournalFolder::leftovers()) {
        const QMessageBox::StandardButton answer = ask(leftover);
        if (answer == QMessageBox::No)
            JournalFolder::remove(leftover);
        if (answer != QMessageBox::Yes)
            continue;
        const JournalFolder::Recovered recovered = JournalFolder::recover(leftover);
        if (!recovered.failure.isEmpty()) {
            // Kept: the page may be readable at the next start.
            MessageBox::inform(QStringLiteral("The changes to ") + pageName(recovered.pagePath) +
                                   " could not be recovered: " + recovered.failure + ".",
                               QStringLiteral("Tagloom"), QMessageBox::Warning);
            continue;
        }
        Document &document = registry.document();
        // A text too long to hold is refused with a message; the journal stays.
        if (!document.setPage(recovered.text, recovered.format, recovered.pagePath))
            continue;
        document.setModified();
        journal.takeOver(std::move(leftover));
        if (recovered.damaged)
            MessageBox::inform(QStringLiteral("The end of the recovery journal was damaged. "
                                              "The changes made up to ") +
                                   timeOf(recovered.written) + " were recovered.",
                               QStringLiteral("Tagloom"), QMessageBox::Warning);
        return;
    }
}
