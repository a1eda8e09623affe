#pragma once

#include <QFont>
#include <QTextLayout>

#include <memory>
#include <optional>

#include "editor/rows/offsetmap.h"

class PieceTree;

// Text shaped for the box at its font, width and tab stops, and the shapes
// rows are drawn from, kept ready to draw until an edit reaches them: a
// short line whole, or one row of a long line, which may be a line of a
// wrapped chunk's layout. It knows offsets, not rows: the row map says which
// text makes a row.
class ShapeCache
{
public:
    // A shape a row is drawn from: its layout, its text's offset, and the
    // row's line in it.
    struct Shaped
    {
        const QTextLayout *layout = nullptr;
        int start = 0;
        QTextLine line;
    };

    explicit ShapeCache(const PieceTree &text);

    void setFormat(const QFont &font, qreal width, qreal tabStop);
    qreal width() const { return m_width; }
    qreal rowHeight() const { return m_rowHeight; }
    // Input-method text shown at `position` without being part of the text.
    void setPreedit(int position, const QString &text);
    // Drops the shapes the change reached and moves the ones after it.
    void textChanged(int start, int removed, int added);
    void clear() { m_blocks.clear(); }

    // `count` characters from `start` laid out in rows as wrapping finds
    // them, without the pre-edit text.
    std::shared_ptr<QTextLayout> wrap(int start, int count, Qt::LayoutDirection direction) const;
    // Keeps what wrapping shaped: a short line laid out whole, or the lines
    // `first` to `end` of a chunk laid out from `start`.
    void keepLine(std::shared_ptr<const QTextLayout> whole, int lineStart);
    void keepRows(const std::shared_ptr<const QTextLayout> &chunk, int start, int first, int end);

    // Row `index` of the short line at `lineStart`, shaped whole.
    Shaped lineRow(int lineStart, int length, int index, Qt::LayoutDirection direction);
    // A row of a long line, when its shape is kept.
    std::optional<Shaped> keptRow(int at, int length) const;
    // A row of a long line shaped on its own, laid out with the text from
    // `from` to `to` around it when that shapes it as within its paragraph.
    Shaped shapeRow(int at, int length, int from, int to, Qt::LayoutDirection direction);

private:
    // Past this many kept shapes, all are dropped: that is several screens'
    // worth of rows, while the glyphs they hold stay bounded.
    static constexpr std::size_t MaxBlocks = 512;
    static constexpr QTextOption::WrapMode Wrapped = QTextOption::WrapAtWordBoundaryOrAnywhere;

    struct Block
    {
        std::shared_ptr<const QTextLayout> layout;
        int start = 0;  // offset of the layout's text
        int line = -1;  // the row's line in it; -1 for a whole short line
        int length = 0; // of the line or row drawn
    };

    std::shared_ptr<QTextLayout> layout(int start, int count, bool withPreedit,
                                        QTextOption::WrapMode wrap,
                                        Qt::LayoutDirection direction) const;
    // Text shaped without the input method's pre-edit text is not drawn
    // where the pre-edit text stands.
    bool holdsPreedit(int at, int length) const;
    const Block &keep(int at, Block block);
    static Shaped shaped(const Block &block, int line);

    const PieceTree &m_text;
    QFont m_font;
    qreal m_width = 100;
    qreal m_tabStop = 80;
    qreal m_rowHeight = 16;
    int m_preeditPosition = -1;
    QString m_preedit;
    OffsetMap<Block> m_blocks; // by the offset of the line or row drawn
};
