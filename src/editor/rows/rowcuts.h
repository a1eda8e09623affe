#pragma once

#include <QString>

#include <vector>

class PieceTree;

// Rows that start or end where the break rules alone do not put them: rows
// that would hold more characters than a row may (runs that take no width,
// rows Qt finds longer than the bound), and runs started far into a line.
// Offsets are from the line's start; `keep` lists where rows started before
// an edit, ascending.
namespace RowCuts {

// Text read for the grapheme rules at a place holds this many characters
// past it: the character after it, both halves of a pair.
constexpr int PastBound = 2;

// A run of characters that take no width (zero-width spaces, joiners,
// combining marks) is cut into rows of InvisibleRow characters without
// shaping it: its rows are found at once and cheap to shape, which a mark
// stacked on marks is not.
constexpr int InvisibleRow = 256;
// Such a run may hold this many characters that do take width.
constexpr int MostVisible = 4;
// Where the row at the start of `window` (at `from` in its line, the text as
// displayed, InvisibleRow + PastBound characters) ends when it is such a run
// and fits in `width` whatever its characters' widths, up to `widestChar`;
// else -1.
int invisibleCut(const QString &window, int from, qreal widestChar, qreal width,
                 const std::vector<int> &keep);

// Where a row at the start of `window` (at `from` in its line, PastBound
// characters past the bound) ends when it holds `bound` at most.
int cutWithin(const QString &window, int bound, int from, const std::vector<int> &keep);

// A run started far into a line looks this far back for a space to start
// after: far enough to find one among words, short enough that a line
// without spaces costs little to read.
constexpr int SpaceWindow = 256;
// Where a row starts at or before `at` in the line from `lineStart` in all
// likelihood: after a space if there is one near, else at a grapheme
// boundary, where a row may start.
int likelyRowStart(const PieceTree &text, int lineStart, int at);

} // namespace RowCuts
