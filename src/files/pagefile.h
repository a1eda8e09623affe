#pragma once

#include <QString>

#include <optional>

#include "editor/pageformat.h"
#include "files/pagecodec.h"

// Reading and writing whole page files. Neither ever blocks on a FIFO or a
// device, and a failed write leaves any existing file exactly as it was.
class PageFile
{
public:
    // Larger files are refused: the editor could not hold them.
    static constexpr qint64 MaxBytes = qint64(256) << 20;

    // The page stored at `path`. When it cannot be read, nothing is returned
    // and `error` says why in a few words (for example "it is a folder").
    static std::optional<PageCodec::Page> read(const QString &path, QString *error = nullptr);

    // Writes `text` and one final line break to `path` in `format`. The file is
    // replaced only once the whole page is on disk, keeping its permissions.
    static bool write(const QString &path, const QString &text, const PageFormat &format);
};
