#include "journalscript.h"

#include "editor/document.h"
#include "files/pagefile.h"

JournalScript::JournalScript(quint32 seed, QString pagePath, bool saves)
    : m_random(seed), m_path(std::move(pagePath)), m_saves(saves)
{
    m_format.encoding =
        m_random.bounded(2) ? PageFormat::Encoding::Utf8 : PageFormat::Encoding::Utf16LeWithBom;
    m_format.lineBreak =
        m_random.bounded(2) ? PageFormat::LineBreak::CrLf : PageFormat::LineBreak::Lf;
}

QString JournalScript::text(int longest)
{
    static const QStringList pieces = {"a", "b", " ", "\n", "<p>", "\u00e9", "\U0001F600", "&amp;"};
    QString text;
    for (int n = m_random.bounded(1, longest + 1); n > 0; --n)
        text += pieces.at(m_random.bounded(int(pieces.size())));
    return text;
}

void JournalScript::open(Document &document, bool writeFiles)
{
    const QString page = text(400);
    if (writeFiles)
        PageFile::write(m_path, page, m_format);
    document.setPage(page, m_format, m_path);
}

void JournalScript::save(Document &document, bool writeFiles)
{
    if (writeFiles)
        PageFile::write(m_path, document.text(), m_format);
    document.setSaved(m_path);
}

void JournalScript::step(Document &document, bool writeFiles)
{
    // Saves are rare, so that most kills find a journal.
    const int kind = m_random.bounded(1000);
    const int length = document.length();
    if (kind < 400) {
        document.insertFragment(text(3));
    } else if (kind < 500) {
        document.insertFragment(text(2000));
    } else if (kind < 620) {
        const int start = m_random.bounded(length + 1);
        document.select(start, m_random.bounded(std::min(length - start, 300) + 1));
    } else if (kind < 700) {
        document.wrapSelection(QStringLiteral("<b>"), QStringLiteral("</b>"));
    } else if (kind < 820) {
        document.undo();
    } else if (kind < 900) {
        document.redo();
    } else if (kind < 995) {
        document.insertFragment(QString()); // erases the selection
    } else if (m_saves) {
        save(document, writeFiles);
    }
}
