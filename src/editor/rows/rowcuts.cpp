#include "editor/rows/rowcuts.h"

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

namespace RowCuts {

int invisibleCut(const QString &window, int from, qreal widestChar, qreal width,
                 const std::vector<int> &keep)
{
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
    if (visible > MostVisible || 2 * visible * widestChar > width)
        return -1;
    return from + cutWithin(window, InvisibleRow, from, keep);
}

int cutWithin(const QString &window, int bound, int from, const std::vector<int> &keep)
{
    // A cut row ends short of the bound, at a grapheme boundary. The room
    // left is for typing: after an edit the row may end anywhere up to the
    // bound where a row ended before, so that the rows after it stay as they
    // were.
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

int likelyRowStart(const PieceTree &text, int lineStart, int at)
{
    if (at == 0)
        return 0;
    const int from = std::max(0, at - SpaceWindow);
    const QString before = text.text(lineStart + from, at - from + PastBound);
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

} // namespace RowCuts
