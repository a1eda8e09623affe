#pragma once

#include <QByteArray>
#include <QStringView>

#include "editor/pageformat.h"
#include "files/encodingtables.h"

// Writes a page's text as the bytes of its file while the text is handed over
// in consecutive runs of any size, straight into one buffer, so that a page is
// saved without a whole copy of its text. The runs are split anywhere: a
// surrogate pair cut in two is still written as one character.
class PageEncoder
{
public:
    // `length`, the whole text's size in code units, sizes the buffer.
    PageEncoder(const PageFormat &format, qsizetype length);

    // `text`'s line breaks as '\n'.
    void append(QStringView text);
    // The bytes so far, followed by the page's final line break where that
    // reads back as one: see finish().
    QByteArray finish();

private:
    enum class Kind {
        Utf8,
        Windows1252,
        Utf16,
        Utf32,
    };

    // Encodes [at, end); with `more`, a high surrogate at its end waits for the next run.
    void encode(const char16_t *at, const char16_t *end, bool more);
    char *room(qsizetype units);
    void adviseLarge();
    bool readsAsOwn(qsizetype size) const;
    char *encodeUtf8(char *out, const char16_t *at, const char16_t *end, bool more);
    char *encodeWindows1252(char *out, const char16_t *at, const char16_t *end, bool more);
    char *encodeUtf16(char *out, const char16_t *at, const char16_t *end);
    char *encodeUtf32(char *out, const char16_t *at, const char16_t *end, bool more);
    char *writeUnit(char *out, char32_t unit) const;

    Kind m_kind;
    bool m_crlf;
    bool m_bigEndian = false;
    const EncodingTables::WideEncoding *m_wide; // none for UTF-8 and Windows-1252
    int m_mostBytesPerUnit;
    QByteArray m_bytes; // sized ahead; the first m_size bytes are written
    qsizetype m_size = 0;
    char16_t m_high = 0; // a high surrogate that ended the last run
    char16_t m_last = 0; // the text's last code unit
};
