#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <sys/types.h>

#include "files/descriptor.h"

class HiddenFile;

// A whole copy of a page's old bytes, taken before the page is written over in
// place, so that a failed write can be undone. It is kept beside the page, or
// in the user's state folder when the page's folder takes no new file, and is
// on disk before the page's first byte changes: should the machine stop
// during the write, it is the one whole version.
class PageBackup
{
public:
    PageBackup();
    ~PageBackup(); // removes the copy unless it was kept
    PageBackup(const PageBackup &) = delete;
    PageBackup &operator=(const PageBackup &) = delete;

    // Copies the file at `page` (named `name` in `folder`), `size` bytes.
    // False with errno set when no copy could be made.
    bool take(int folder, const QByteArray &name, int page, off_t size);
    // Whether the copy shares the page's blocks (a reflink): writing over
    // the page then takes new room for every byte.
    bool sharesBlocks() const { return m_shared; }
    // Writes the old bytes back over `page` and syncs it.
    bool restore(int page);
    // Keeps the copy; where it is, for the user.
    QString keep();

private:
    Descriptor m_stateFolder; // when the copy is kept there
    std::unique_ptr<HiddenFile> m_copy;
    off_t m_size = 0;
    bool m_shared = false;
};
