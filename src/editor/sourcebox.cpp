#include "editor/sourcebox.h"

#include <QMimeData>
#include <QUrl>

SourceBox::SourceBox(QWidget *parent) : TextView(parent)
{
    setObjectName(QStringLiteral("htmlsource"));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

namespace {

// The local files among dropped or pasted data, in their order.
QStringList localFiles(const QMimeData *source)
{
    QStringList paths;
    for (const QUrl &url : source->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

} // namespace

bool SourceBox::canInsertFromMimeData(const QMimeData *source) const
{
    return !localFiles(source).isEmpty() || TextView::canInsertFromMimeData(source);
}

void SourceBox::insertFromMimeData(const QMimeData *source)
{
    // Files are the program's to handle; pasted as text they would be their
    // file: addresses. During a drop the caret stands at the drop point.
    const QStringList paths = localFiles(source);
    if (paths.isEmpty())
        TextView::insertFromMimeData(source);
    else
        emit filesDropped(paths, model().caret());
}
