#pragma once

#include <QString>

#include <optional>

#include "editor/pageformat.h"
#include "files/pagecodec.h"

// Reading and writing whole page files. Neither ever blocks on a FIFO or a
// device, and a failed write leaves any existing file exactly as it was.
// Paths go to the system through FileName, so names that are not UTF-8 work.
class PageFile
{
public:
    // Larger files are refused: the editor could not hold them.
    static constexpr qint64 MaxBytes = qint64(256) << 20;

    // The page stored at `path`. When it cannot be read, nothing is returned
    // and `error` says why in a few words (for example "it is a folder", or
    // the system's reason such as "permission denied").
    static std::optional<PageCodec::Page> read(const QString &path, QString *error = nullptr);

    // Writes `text` and one final line break to `path` in `format`. An existing
    // file is replaced only once the whole page is on disk, by a copy that
    // keeps its owner, group, mode and extended attributes (ACLs among them).
    // Where such a copy cannot be made (the file has other hard links, its
    // owner cannot be given back, or the folder takes no new file) the file is
    // written in place, once a copy of its old bytes is on disk; a failed
    // write puts them back. Should even that fail, `oldPageAt` says where the
    // copy is kept. A write-protected file is refused, even to root.
    static bool write(const QString &path, const QString &text, const PageFormat &format,
                      QString *error = nullptr, QString *oldPageAt = nullptr);
    // The same for a text handed over in runs, `length` code units in all, as
    // the editor keeps it: encoded run by run, with no copy of the whole text.
    static bool write(const QString &path, const PageCodec::Chunks &text, qsizetype length,
                      const PageFormat &format, QString *error = nullptr,
                      QString *oldPageAt = nullptr);
};
