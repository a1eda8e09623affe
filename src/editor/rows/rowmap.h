#pragma once

#include <QFont>
#include <QTextLayout>

#include <limits>
#include <map>
#include <memory>
#include <vector>

#include "editor/rows/offsetmap.h"

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
    qreal width() const { return m_width; }
    qreal rowHeight() const { return m_rowHeight; }
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

    // The shaped block holding `row`: its layout, its text's offset, and the
    // row's line in it.
    struct Shaped
    {
        const QTextLayout *layout = nullptr;
        int start = 0;
        QTextLine line;
    };
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
    static constexpr std::size_t MaxBlocks = 512;
    // A run wraps on to a place at most this many chunks ahead; farther, a run
    // of its own starts there.
    static constexpr int JumpChunks = 4;

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
    // The run whose rows reach `relative`, wrapping or starting one.
    Runs::iterator runFor(int lineStart, LineRows &rows, int relative, int lead = ChunkRows);
    Row rowAt(int offset, int lead);
    // Wraps one chunk more of `run`, then joins the runs it reaches.
    void extend(int lineStart, LineRows &rows, Runs::iterator run, int wanted);
    // Wraps on from the run's last row, `rows` rows' worth of text at least.
    // A row that is cut ends, where it can, where a row in `keep` started
    // before an edit, so that the rows after it line up again.
    void wrapChunk(int lineStart, const LineRows &line, Run &run, int rows,
                   const std::vector<int> &keep = {});

    // Cutting rows (rowmapcuts.cpp). A run of characters that take no width
    // (zero-width spaces, joiners, combining marks) is cut into rows of
    // InvisibleRow characters without shaping it: its rows are found at once
    // and cheap to shape, which a mark stacked on marks is not.
    static constexpr int InvisibleRow = 256;
    // Such a run may hold this many characters that do take width.
    static constexpr int MostVisible = 4;
    // Where the row from `from` ends when it is such a run, or -1.
    int invisibleCut(int lineStart, int length, int from, const std::vector<int> &keep) const;
    // The first row from `skip` in a chunk's layout that is longer than
    // MaxRowLength and known to be, or -1.
    static int cutRow(const QTextLayout &part, int skip, int whole, int laidOut);
    // Where a row at the start of `window` (at `from` in its line, with the
    // two characters after the bound) ends when it holds `bound` at most.
    static int cutWithin(const QString &window, int bound, int from, const std::vector<int> &keep);
    void join(LineRows &rows, Runs::iterator run, std::size_t from);
    int resyncPoint(int lineStart, int relative, int lead) const;
    static constexpr QTextOption::WrapMode Wrapped = QTextOption::WrapAtWordBoundaryOrAnywhere;
    std::shared_ptr<QTextLayout> layout(int start, int count, bool withPreedit,
                                        QTextOption::WrapMode wrap,
                                        Qt::LayoutDirection direction) const;
    Qt::LayoutDirection directionOf(int lineStart, int length) const;
    Row rowOf(int lineStart, LineRows &rows, Runs::iterator run, std::size_t index);
    // After a change at `at` inside a long line: keeps the rows before it and
    // the rows after it that line up again.
    Changed rewrap(int lineStart, const LineRows &line, Run &run, int at, int removed, int added);

    const PieceTree &m_text;
    QFont m_font;
    qreal m_width = 100;
    qreal m_tabStop = 80;
    qreal m_rowHeight = 16;
    qreal m_charWidth = 8;
    qreal m_widestChar = 8;
    int m_preeditPosition = -1;
    QString m_preedit;
    OffsetMap<LineRows> m_lines; // by line start
    // Shaped text ready to draw: a short line whole, or one row of a long
    // line, which may be a line of a wrapped chunk's layout.
    struct Block
    {
        std::shared_ptr<const QTextLayout> layout;
        int start = 0;  // offset of the layout's text
        int line = -1;  // the row's line in it; -1 for a whole short line
        int length = 0; // of the line or row drawn
    };
    // Text shaped without the input method's pre-edit text is not drawn
    // where the pre-edit text stands.
    bool holdsPreedit(int at, int length) const;
    void keepBlock(int at, Block block);
    // A row of a long line shaped on its own, when its chunk's shapes are gone.
    Block rowBlock(const Row &row, Qt::LayoutDirection direction);
    OffsetMap<Block> m_blocks; // by the offset of the line or row drawn
};
