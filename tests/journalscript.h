#pragma once

#include <QRandomGenerator>
#include <QString>

#include "editor/pageformat.h"

class Document;

// A seeded run of typing, pasting, selecting, wrapping, undoing, redoing and
// saving on a page, the same every time for the same seed: one process runs
// it with a journal and is killed, another runs it again to know every text
// the first one had.
class JournalScript
{
public:
    // Without `saves`, the page is never saved and its journal never goes.
    JournalScript(quint32 seed, QString pagePath, bool saves = true);

    PageFormat format() const { return m_format; }
    // Opens the page, writing its file first when `writeFiles`.
    void open(Document &document, bool writeFiles);
    // Step `n` (0, 1, 2, ... in turn); saves write the file when `writeFiles`.
    void step(Document &document, bool writeFiles);

private:
    QString text(int longest);
    void save(Document &document, bool writeFiles);

    QRandomGenerator m_random;
    QString m_path;
    PageFormat m_format;
    bool m_saves;
};
