#include "editor/sourcebox.h"

#include <QMimeData>
#include <QUrl>

SourceBox::SourceBox(TextModel &model, QWidget *parent) : TextView(model, parent)
{
    setObjectName(QStringLiteral("htmlsource"));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

namespace {

// The local files among dropped or pasted data, in their order; an empty
// clipboard has no data at all.
QList<QUrl> localFiles(const QMimeData *source)
{
    QList<QUrl> files;
    if (!source)
        return files;
    for (const QUrl &url : source->urls()) {
        if (url.isLocalFile())
            files.append(url);
    }
    return files;
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
    const QList<QUrl> files = localFiles(source);
    if (files.isEmpty())
        TextView::insertFromMimeData(source);
    else
        emit filesDropped(files, model().caret());
}
