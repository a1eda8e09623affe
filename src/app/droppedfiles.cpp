#include "app/droppedfiles.h"

#include <QFileInfo>

#include "editor/document.h"
#include "files/openform.h"
#include "files/savefirst.h"
#include "platform/filename.h"
#include "platform/messagebox.h"
#include "ui/windowregistry.h"

namespace {

bool isPage(const QString &suffix)
{
    return suffix == QLatin1String("html") || suffix == QLatin1String("htm");
}

bool isPicture(const QString &suffix)
{
    static const QStringList pictures = {"bmp", "gif", "ico", "jpeg", "jpg",
                                         "png", "svg", "tif", "tiff", "webp"};
    return pictures.contains(suffix);
}

} // namespace

void takeDroppedFiles(WindowRegistry &registry, const QList<QUrl> &files, int position)
{
    QString page;
    QStringList pictures;
    QStringList unused;
    for (const QUrl &file : files) {
        const QString path = FileName::fromLocalFile(file);
        const QFileInfo info(path);
        const QString suffix = info.isDir() ? QString() : info.suffix().toLower();
        if (isPage(suffix) && page.isEmpty())
            page = path;
        else if (isPicture(suffix))
            pictures.append(path);
        else
            unused.append(path);
    }
    // A page replaces the whole text, so pictures dropped with it have no place.
    if (!page.isEmpty()) {
        unused += pictures;
        const auto openIt = [&registry, page] { OpenForm::openPage(registry.document(), page); };
        if (saveIfChanged(registry, openIt))
            openIt();
    } else if (!pictures.isEmpty()) {
        QString tags;
        for (const QString &picture : pictures)
            tags += "<img src=" + picture + ">";
        registry.document().select(position, 0);
        registry.document().insertFragment(tags);
    }
    if (!unused.isEmpty())
        MessageBox::inform("Only one web page (.html, .htm) or pictures can be dropped on the "
                           "page. Not used:\n" +
                               unused.join(QLatin1Char('\n')),
                           QStringLiteral("Tagloom"), QMessageBox::Information);
}
