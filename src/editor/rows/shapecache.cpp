#include "editor/rows/shapecache.h"

#include <QTextOption>

#include <algorithm>

#include "editor/rows/controlpictures.h"
#include "editor/text/piecetree.h"

ShapeCache::ShapeCache(const PieceTree &text) : m_text(text) {}

void ShapeCache::setFormat(const QFont &font, qreal width, qreal tabStop)
{
    m_font = font;
    m_width = std::max<qreal>(width, 1);
    m_tabStop = tabStop;
    QTextLayout probe(QStringLiteral("x"), font);
    probe.beginLayout();
    QTextLine line = probe.createLine();
    line.setLeadingIncluded(true);
    line.setLineWidth(1000);
    m_rowHeight = std::max<qreal>(line.height(), 1);
    probe.endLayout();
    m_blocks.clear();
}

void ShapeCache::setPreedit(int position, const QString &text)
{
    m_preeditPosition = text.isEmpty() ? -1 : position;
    m_preedit = text;
    m_blocks.clear();
}

void ShapeCache::textChanged(int start, int removed, int added)
{
    // Shaped text the change did not touch stays shaped.
    const int delta = added - removed;
    m_blocks.rekey([start, removed, delta](int at, Block &block) {
        if (at + block.length < start)
            return at;
        if (at <= start + removed)
            return -1;
        block.start += delta;
        return at + delta;
    });
}

std::shared_ptr<QTextLayout> ShapeCache::wrap(int start, int count,
                                              Qt::LayoutDirection direction) const
{
    return layout(start, count, false, Wrapped, direction);
}

void ShapeCache::keepLine(std::shared_ptr<const QTextLayout> whole, int lineStart)
{
    const int length = int(whole->text().size());
    if (!holdsPreedit(lineStart, length))
        keep(lineStart, {std::move(whole), lineStart, -1, length});
}

void ShapeCache::keepRows(const std::shared_ptr<const QTextLayout> &chunk, int start, int first,
                          int end)
{
    for (int i = first; i < end; ++i) {
        const QTextLine row = chunk->lineAt(i);
        const int at = start + row.textStart();
        if (!holdsPreedit(at, row.textLength()))
            keep(at, {chunk, start, i, row.textLength()});
    }
}

ShapeCache::Shaped ShapeCache::lineRow(int lineStart, int length, int index,
                                       Qt::LayoutDirection direction)
{
    const Block *found = m_blocks.find(lineStart);
    if (!found || found->length != length || found->line >= 0)
        found = &keep(lineStart,
                      {layout(lineStart, length, true, Wrapped, direction), lineStart, -1, length});
    return shaped(*found, index);
}

std::optional<ShapeCache::Shaped> ShapeCache::keptRow(int at, int length) const
{
    const Block *found = m_blocks.find(at);
    if (!found || found->length != length || found->line < 0)
        return std::nullopt;
    return shaped(*found, found->line);
}

ShapeCache::Shaped ShapeCache::shapeRow(int at, int length, int from, int to,
                                        Qt::LayoutDirection direction)
{
    if (from < at || to > at + length) {
        auto around = layout(from, to - from, true, Wrapped, direction);
        for (int i = 0; i < around->lineCount(); ++i) {
            const QTextLine line = around->lineAt(i);
            if (from + line.textStart() == at && line.textLength() == length)
                return shaped(keep(at, {std::move(around), from, i, length}), i);
        }
    }
    // Wrapped as in its chunk, so that spaces at its end hang the same way;
    // a row that does not fit alone is drawn unwrapped.
    auto alone = layout(at, length, true, Wrapped, direction);
    if (alone->lineCount() > 1)
        alone = layout(at, length, true, QTextOption::NoWrap, direction);
    return shaped(keep(at, {std::move(alone), at, 0, length}), 0);
}

std::shared_ptr<QTextLayout> ShapeCache::layout(int start, int count, bool withPreedit,
                                                QTextOption::WrapMode wrap,
                                                Qt::LayoutDirection direction) const
{
    auto result = std::make_shared<QTextLayout>(
        ControlPictures::displayed(m_text.text(start, count)), m_font);
    QTextOption option;
    option.setWrapMode(wrap);
    option.setTextDirection(direction);
    option.setTabStopDistance(m_tabStop);
    result->setTextOption(option);
    result->setCacheEnabled(true);
    if (withPreedit && m_preeditPosition >= start && m_preeditPosition <= start + count &&
        !m_preedit.isEmpty())
        result->setPreeditArea(m_preeditPosition - start, m_preedit);
    result->beginLayout();
    qreal y = 0;
    for (QTextLine line = result->createLine(); line.isValid(); line = result->createLine()) {
        line.setLeadingIncluded(true);
        line.setLineWidth(m_width);
        line.setPosition(QPointF(0, y));
        y += m_rowHeight;
    }
    result->endLayout();
    return result;
}

bool ShapeCache::holdsPreedit(int at, int length) const
{
    return m_preeditPosition >= at && m_preeditPosition <= at + length;
}

const ShapeCache::Block &ShapeCache::keep(int at, Block block)
{
    if (m_blocks.size() >= MaxBlocks)
        m_blocks.clear();
    Block &kept = m_blocks[at];
    kept = std::move(block);
    return kept;
}

ShapeCache::Shaped ShapeCache::shaped(const Block &block, int line)
{
    Shaped result;
    result.layout = block.layout.get();
    result.start = block.start;
    result.line = block.layout->lineAt(std::clamp(line, 0, block.layout->lineCount() - 1));
    return result;
}
