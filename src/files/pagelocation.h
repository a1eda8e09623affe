#pragma once

#include <QByteArray>

#include "files/descriptor.h"

// Where a page's file lives: its folder, held open, and its name in it. All
// work on the file goes through the folder's descriptor, so that a path of any
// length works and the folder cannot be swapped midway.
struct PageLocation
{
    Descriptor folder; // opened with O_PATH
    QByteArray name;

    // The entry that `path` names, through any symbolic links in its last
    // part: the file a link names is the one written, even one that does not
    // exist yet, and the link stays. On failure, `folder` is closed and errno
    // set.
    static PageLocation find(const QByteArray &path);

    // The folder opened for reading, to sync it or list it; -1 when it cannot be.
    Descriptor openFolder() const;
    // A path naming the entry for calls that take no folder descriptor, valid
    // while the folder is held.
    QByteArray fullPath() const;
};
