#pragma once

#include <QtGlobal>

#include <utility>

#include "editor/rows/rowmap.h"

class PieceTree;

// Where the caret goes, as pure functions of the text and its rows: no widget
// and no state. What a move remembers (the column vertical moves keep, the
// caret's place on screen page moves keep) the view keeps and hands in.
namespace CaretMotion {

// Grapheme boundaries: a letter moves with its marks, a surrogate pair whole.
int characterRight(const PieceTree &text, int position);
int characterLeft(const PieceTree &text, int position);
// Where the text that Backspace erases before `position` starts: one code
// point, so that a mark is taken off its letter alone, or a CR LF whole.
int erasedBefore(const PieceTree &text, int position);
// Where Ctrl+Right and Ctrl+Left go: word starts within the line, and over
// the line break at either end of it.
int wordRight(const PieceTree &text, int position);
int wordLeft(const PieceTree &text, int position);
// The start and end of the word at `position` as Qt's box finds them for a
// double click; -1 where its cursor would not move (a line's start for the
// start; a space, or a line's end, for the end).
int startOfWord(const PieceTree &text, int position);
int endOfWord(const PieceTree &text, int position);
// What a double click at `position` selects, as Qt's own box does: the word,
// or the run of separators, there; nothing past a line's end.
std::pair<int, int> wordAt(const PieceTree &text, int position);

// Where Home and End go from `position`: its row's ends, End stopping before
// the space a wrapped row ends in.
int rowStart(RowMap &rows, int position);
int rowEnd(RowMap &rows, const PieceTree &text, int position);
// The x of `position` in `row`, and the position nearest `x` in it.
qreal xOf(RowMap &rows, const RowMap::Row &row, int position);
int positionAtX(RowMap &rows, const RowMap::Row &row, qreal x);
// `count` rows down from `position` (up when negative) at `x`; -1 where no
// row lies that way.
int vertical(RowMap &rows, int position, int count, qreal x);

// The view as scrolling and page moves see it.
struct Screen
{
    int top = 0;      // offset of the first row shown
    int maxTop = 0;   // the farthest the first row may be
    qreal height = 0; // of the text area
    qreal rowHeight = 1;
    qreal margin = 0; // above the page's first row, and below its last
    qreal topY() const { return top == 0 ? margin : 0; }
};
// How many rows from the row at `top` `offset`'s row is, counting no further
// than `limit`; -1 when it lies above.
int rowsFrom(RowMap &rows, int top, int offset, int limit);
// Scrolls `screen` by up to `count` rows, never past maxTop; returns how many.
int scroll(RowMap &rows, Screen &screen, int count);
// Page Down or Page Up, as in Qt's own box: scrolls `screen` by the rows it
// shows whole, and the caret keeps its place on screen, `caretY` (found and
// set when negative). Returns the caret's new place, or -1 where it cannot move.
int page(RowMap &rows, Screen &screen, int caret, bool down, qreal &caretY, qreal x);

} // namespace CaretMotion
