#pragma once

#include <QList>
#include <QUrl>

class WindowRegistry;

// Files dropped on the source box at character `position`: a web page opens
// as "File" > "Open" would, asking first about a changed page; pictures go in
// as picture tags at the drop point. Whatever is not used is named in a message.
void takeDroppedFiles(WindowRegistry &registry, const QList<QUrl> &files, int position);
