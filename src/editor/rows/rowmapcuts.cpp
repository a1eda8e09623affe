// Rows that start or end where the break rules alone do not put them: rows
// that would hold more characters than a row may (runs that take no width,
// rows Qt finds longer than the bound), and runs started far into a line.
#include "editor/rows/rowmap.h"

#include <QTextBoundaryFinder>

#include <algorithm>

#include "editor/rows/controlpictures.h"
#include "editor/text/piecetree.h"

namespace {

// Characters drawn without width: marks on the character before them, and
// the invisible format characters (not the soft hyphen, shown at a break).
bool takesNoWidth(char32_t ucs)
{
    switch (QChar::category(ucs)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_Enclosing:
        return true;
    case QChar::Other_Format:
        return (ucs >= 0x200B && ucs <= 0x200F) || (ucs >= 0x202A && ucs <= 0x202E) ||
               (ucs >= 0x2060 && ucs <= 0x206F) || ucs == 0xFEFF || ucs == 0x061C ||
               ucs == 0x180E || (ucs >= 0xE0000 && ucs <= 0xE007F);
    default:
        return false;
    }
}

bool splitsPair(const QString &text, int at)
{
    return at > 0 && at < text.size() && text.at(at - 1).isHighSurrogate() &&
           text.at(at).isLowSurrogate();
}

} // namespace

int RowMap::invisibleCut(int lineStart, int length, int from, const std::vector<int> &keep) const
{
    if (length - from <= InvisibleRow)
        return -1;
    const QString window =
        ControlPictures::displayed(m_text.text(lineStart + from, InvisibleRow + 2));
    // The row's first character and the rest of it that takes width must fit
    // at any width a character may have.
    int visible = 1;
    for (int i = 1; i < InvisibleRow && visible <= MostVisible; ++i) {
        char32_t ucs = window.at(i).unicode();
        if (QChar::isHighSurrogate(ucs) && window.at(i + 1).isLowSurrogate()) {
            ucs = QChar::surrogateToUcs4(window.at(i), window.at(i + 1));
            ++i;
        }
        if (ucs == U'\t')
            return -1;
        visible += takesNoWidth(ucs) ? 0 : 1;
    }
    if (visible > MostVisible || 2 * visible * m_widestChar > m_width)
        return -1;
    return from + cutWithin(window, InvisibleRow, from, keep);
}

int RowMap::resyncPoint(int lineStart, int relative, int lead) const
{
    // `lead` rows before the place, after a space if there is one near: a
    // row starts there in all likelihood, and the rows wrapped from there
    // come to agree with the line's own before they reach the place. Else at
    // a grapheme boundary, where a row may start.
    const int at = std::max(0, relative - lead * charsPerRow());
    if (at == 0)
        return 0;
    const int from = std::max(0, at - 256);
    const QString before = m_text.text(lineStart + from, at - from + 2);
    const qsizetype space = before.lastIndexOf(QLatin1Char(' '), at - from - 1);
    if (space >= 0)
        return from + int(space) + 1;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, before);
    graphemes.setPosition(at - from);
    const qsizetype boundary =
        graphemes.isAtBoundary() ? at - from : graphemes.toPreviousBoundary();
    if (boundary > 0)
        return from + int(boundary);
    return splitsPair(before, at - from) ? at - 1 : at;
}

int RowMap::cutRow(const QTextLayout &part, int skip, int whole, int laidOut)
{
    for (int i = skip; i < part.lineCount(); ++i) {
        const QTextLine row = part.lineAt(i);
        if (row.textLength() <= MaxRowLength)
            continue;
        // Cut where the row's end is known, or where enough text follows
        // the bound for the break rules.
        const bool known = i < whole || row.textStart() + MaxRowLength + LookAhead <= laidOut;
        return known ? i : -1;
    }
    return -1;
}

int RowMap::cutWithin(const QString &window, int bound, int from, const std::vector<int> &keep)
{
    // A cut row ends short of the bound, at a grapheme boundary; the window
    // holds the character after the bound, both halves of a pair, for the
    // grapheme rules. The room left is for typing: after an edit the row may
    // end anywhere up to the bound where a row ended before, so that the rows
    // after it stay as they were.
    const int natural = bound - bound / 16;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, window);
    const auto lastBoundary = [&graphemes](int at) {
        graphemes.setPosition(at);
        return graphemes.isAtBoundary() ? at : int(graphemes.toPreviousBoundary());
    };
    // Inside a grapheme only when one grapheme fills the row.
    const bool ends = lastBoundary(bound) > 0;
    const auto kept = std::upper_bound(keep.begin(), keep.end(), from + bound);
    if (kept != keep.begin() && *std::prev(kept) > from) {
        const int at = *std::prev(kept) - from;
        graphemes.setPosition(at);
        if ((!ends || graphemes.isAtBoundary()) && !splitsPair(window, at))
            return at;
    }
    if (const int boundary = lastBoundary(natural); boundary > 0)
        return boundary;
    if (ends)
        return lastBoundary(bound);
    return splitsPair(window, natural) ? natural - 1 : natural;
}
