#pragma once

#include <QByteArray>

#include <sys/types.h>

#include "files/descriptor.h"

// A new file in a folder that has no name until it is whole: where the file
// system allows, it is created unnamed (O_TMPFILE) and linked in at the end,
// so that a save killed midway leaves nothing behind. Elsewhere it is named at
// once after the page it belongs to, ".NAME.tagloom-<role>", and the next
// such file made for the same page removes one left behind. While it is being
// written it holds a lock, so that a file still in use is never taken for one
// left behind.
class HiddenFile
{
public:
    // `role` tells apart files made for the same page.
    HiddenFile(int folder, const QByteArray &page, const char *role);
    ~HiddenFile(); // removes the named file unless it was kept

    HiddenFile(const HiddenFile &) = delete;
    HiddenFile &operator=(const HiddenFile &) = delete;

    // Makes the file with `mode`; false with errno set when it cannot be.
    bool create(mode_t mode);
    int fd() const { return m_file.get(); }
    const QByteArray &name() const { return m_name; }
    // The folder's path, for telling the user where the file is.
    QByteArray folderPath() const;

    // Gives the whole, synced file its name ".NAME.tagloom-<role>".
    bool link();
    // Leaves the named file behind when this goes.
    void keep() { m_kept = true; }
    // Puts the whole, synced file in place of `target` in the same folder.
    bool replace(const QByteArray &target);

private:
    bool removeLeftOver();

    int m_folder;
    QByteArray m_name;
    Descriptor m_file;
    bool m_named = false; // the file has m_name in the folder
    bool m_kept = false;
};
