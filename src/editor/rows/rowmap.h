#pragma once

// Words used here:
//   line      text between two line breaks; long past LongLine characters, else short
//   row       the part of a line that one row of the box shows
//   run       rows found one after another from its first; a line's first run starts at 0
//   complete  said of a run whose rows reach the line's end
//   chunk     a piece of a long line laid out at once for a run's next rows
//   seam      a row stitched where two runs meet before they line up (Row::run is -1)
//   resync    a run started far into a line, where a row starts in all likelihood
//   lead      how many rows before the place asked for a resync starts, to agree by then
//   keep      row starts from before an edit, where a cut row ends if it can
//   past      rows after an edit that its re-wrap waits for; a run well beyond another's start
//   settled   said of an edit whose changed row starts where it did: the row before is as it was
//   shape     text laid out by QTextLayout, its glyphs placed in lines at the box's width
//   block     a shape kept ready to draw (ShapeCache)
//   pre-edit  input-method text shown at the caret without being part of the text

#include <QFont>

#include <limits>
#include <map>
#include <vector>

#include "editor/rows/offsetmap.h"
#include "editor/rows/shapecache.h"

class PieceTree;

// Where the lines of the text wrap into rows at the box's width. Rows are
// found lazily: a short line is laid out whole, a long one chunk by chunk
// only as far as someone asks, and an edit re-wraps a long line only until
// its old rows line up again. A jump far into a long line starts a run of
// rows of its own there, which joins the rows before it once they reach it
// and line up. A short line is shaped whole by QTextLayout, a long one row
// by row.
class RowMap
{
public:
    struct Row
    {
        int lineStart = 0;
        int lineEnd = 0;
        int run = 0;   // where the row's run starts, from the line's start; -1 for a seam
        int index = 0; // within the run
        int start = 0;
        int end = 0;
        bool lastInLine() const { return end == lineEnd; }
    };

    // A row holds at most this many characters, however narrow, so that no
    // row costs more than this to shape. A row that would hold more is cut
    // at a grapheme boundary (a letter stays with its marks), or inside a
    // grapheme that fills the row, never between the halves of a surrogate pair.
    static constexpr int MaxRowLength = 4064;

    explicit RowMap(const PieceTree &text);

    void setFormat(const QFont &font, qreal width, qreal tabStop);
    qreal width() const { return m_shapes.width(); }
    qreal rowHeight() const { return m_shapes.rowHeight(); }
    // Characters a row holds on average, for estimates.
    int charsPerRow() const;

    // Where rows changed after an edit: from the row holding `from` to the one
    // holding `to`, or to the text's end when rows below moved too.
    struct Changed
    {
        static constexpr int ToTheEnd = std::numeric_limits<int>::max();
        int from = 0;
        int to = ToTheEnd;
    };
    Changed textChanged(int start, int removed, int added);
    // Input-method text shown at `position` without being part of the text.
    void setPreedit(int position, const QString &text);

    // The row holding `offset`; a row's end belongs to the next row unless
    // the line ends there.
    Row rowAt(int offset);
    bool next(Row &row);
    bool previous(Row &row);
    // Moves `row` by `rows` rows, down when positive, as far as the text
    // allows; returns how many it moved, with the sign of `rows`.
    int walk(Row &row, int rows);

    // The shape holding `row`: its layout, its text's offset, and the row's
    // line in it.
    using Shaped = ShapeCache::Shaped;
    Shaped shape(const Row &row);

    // The direction of the row's line, as a paragraph's.
    Qt::LayoutDirection direction(const Row &row);

    // Whether `lineStart`'s rows are all known, for estimates.
    bool wrapped(int lineStart);

private:
    // Qt shapes text in items of at most this many characters and may end a
    // row where it cuts one, even between the halves of a surrogate pair, so
    // no text laid out here is longer.
    static constexpr int QtItem = 4096;
    // Lines longer than this are wrapped chunk by chunk; a shorter one is
    // wrapped whole, its rows within the bound.
    static constexpr int LongLine = MaxRowLength;
    // A chunk holds this many rows' worth of characters: Qt's line breaking
    // slows with the length of a run it cannot break, so chunks stay short.
    static constexpr int ChunkRows = 16;
    // A chunk's last row start holds when this much text follows it: the row
    // before ran out of room there, which the text after it cannot undo but
    // for the few characters shaping and the break rules look ahead.
    static constexpr int LookAhead = 16;
    // A chunk this long finds the next row however narrow its characters.
    static constexpr int LongestChunk = MaxRowLength + LookAhead + 1;
    static_assert(LongestChunk <= QtItem, "a chunk is shaped as one item");
    // Wrapping on asks for no fewer rows: fewer would be mostly the rows a
    // chunk cannot trust.
    static constexpr int FewestRows = 4;
    // Past this many remembered lines, short lines are forgotten.
    static constexpr std::size_t MaxLines = 4096;
    // A run wraps on to a place at most this many chunks ahead; farther, a run
    // of its own starts there.
    static constexpr int JumpChunks = 4;
    // Scrolling up past the first row of a run of its own resyncs this many
    // rows before it: near enough for that run to wrap on to it rather than
    // jump, so that the rows above come one by one from one run.
    static constexpr int ScrollUpLead = (JumpChunks - 1) * ChunkRows;
    // The rows before such a run wrap on this many chunks at most to line up
    // with it: enough to reach it and go a chunk past it, where it gives way,
    // with room for chunks that come out short.
    static constexpr int StitchChunks = 2 * JumpChunks;
    // A line's direction is its first strong character's; a long line is
    // read only this far, as far as a short one, so that an edit far into
    // it need not read it again.
    static constexpr int DirectionWindow = LongLine;
    // A row's start hangs on the word after it: a run whose last row start
    // is more than this many rows before an edit is left as it is.
    static constexpr int HangRows = 2;

    // Rows found one after the other from `starts[0]`.
    struct Run
    {
        std::vector<int> starts; // from the line's start; the last one open unless complete
        bool complete = false;
    };
    using Runs = std::map<int, Run>; // by first row; the one from 0 is always there
    struct LineRows
    {
        int length = 0;
        Qt::LayoutDirection direction = Qt::LeftToRight;
        Runs runs;
    };

    LineRows &rowsOf(int lineStart, int lineEnd);
    bool isLong(const LineRows &rows) const;
    // A chunk's worth of characters, for estimates.
    int chunkLength() const;
    Qt::LayoutDirection directionOf(int lineStart, int length) const;

    // Finding rows.
    Row rowAt(int offset, int lead);
    // The run whose rows reach `relative`, wrapping or starting one.
    Runs::iterator runFor(int lineStart, LineRows &rows, int relative, int lead = ChunkRows);
    Row rowOf(int lineStart, LineRows &rows, Runs::iterator run, std::size_t index);
    // Where a resync `lead` rows before `relative` starts.
    int resyncPoint(int lineStart, int relative, int lead) const;

    // Wrapping.
    // Wraps one chunk more of `run`, then joins the runs it reaches.
    void extend(int lineStart, LineRows &rows, Runs::iterator run, int wanted);
    void join(LineRows &rows, Runs::iterator run, std::size_t from);
    // Wraps on from the run's last row, `rows` rows' worth of text at least.
    // A row that is cut ends, where it can, at a row start in `keep`.
    void wrapChunk(int lineStart, const LineRows &line, Run &run, int rows,
                   const std::vector<int> &keep = {});
    void wrapWhole(int lineStart, const LineRows &line, Run &run);
    // Where the row from `from` ends when it is a run of characters that
    // take no width, or -1.
    int invisibleCut(int lineStart, int length, int from, const std::vector<int> &keep) const;
    // The first row from `skip` in a chunk's layout that is longer than
    // MaxRowLength and known to be, or -1.
    static int cutRow(const QTextLayout &part, int skip, int whole, int laidOut);

    // Following an edit.
    // What moving the lines' rows past an edit left of the changed line's.
    struct ChangedLine
    {
        bool keptLong = false; // a long line's rows, kept to re-wrap in place
        int shortRows = 0;     // how many rows the line had when it was short and wrapped
    };
    ChangedLine moveLines(int start, int removed, int added, int lineStart, int lineEnd);
    Changed rewrapLongLine(int lineStart, int at, int removed, int added);
    Changed rewrapShortLine(int lineStart, int lineEnd, int rowsBefore);
    // After a change at `at` inside a long line: keeps the rows of `run`
    // before it and the rows after it that line up again.
    Changed rewrapRun(int lineStart, const LineRows &line, Run &run, int at, int removed,
                      int added);

    const PieceTree &m_text;
    qreal m_charWidth = 8;
    qreal m_widestChar = 8;
    OffsetMap<LineRows> m_lines; // by line start
    ShapeCache m_shapes;
};
