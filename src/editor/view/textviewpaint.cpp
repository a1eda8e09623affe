// Drawing the text view: only the rows on screen are looked for and shaped.
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

#include "editor/text/pagesearch.h"
#include "editor/view/textview.h"

namespace {

// The matches other than the current one take at least this share of the
// highlight's colour, in steps of TintStep, until they stand out from the
// background by TintContrast.
constexpr qreal LightestTint = 0.28;
constexpr qreal TintStep = 0.04;
constexpr int TintSteps = 10;
constexpr qreal TintContrast = 1.6;

// Relative luminance, as WCAG defines it for contrast ratios.
qreal luminance(const QColor &color)
{
    const auto linear = [](qreal channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) +
           0.0722 * linear(color.blueF());
}

qreal contrast(const QColor &a, const QColor &b)
{
    const auto [dark, light] = std::minmax({luminance(a), luminance(b)});
    return (light + 0.05) / (dark + 0.05);
}

QColor mix(const QColor &from, const QColor &to, qreal amount)
{
    const auto channel = [amount](qreal a, qreal b) { return a + (b - a) * amount; };
    return QColor::fromRgbF(float(channel(from.redF(), to.redF())),
                            float(channel(from.greenF(), to.greenF())),
                            float(channel(from.blueF(), to.blueF())));
}

// The highlight colour laid lightly over the background, as much more as it
// takes to tell it from the background. A dark scheme's highlight may be
// hardly lighter than its background: then it is lifted toward the text's
// colour, which every scheme sets off from the background.
QColor matchTint(const QPalette &palette)
{
    const QColor base = palette.color(QPalette::Base);
    const QColor highlight = palette.color(QPalette::Highlight);
    const QColor text = palette.color(QPalette::Text);
    for (const QColor &toward : {highlight, mix(highlight, text, 0.5), text}) {
        for (int step = 0; step <= TintSteps; ++step) {
            const QColor tint = mix(base, toward, LightestTint + step * TintStep);
            if (contrast(tint, base) >= TintContrast)
                return tint;
        }
    }
    return mix(base, text, 0.5);
}

} // namespace

TextView::Marks TextView::marksIn(int from, int to) const
{
    if (!m_marks || !m_marks->marksShown())
        return {};
    return {m_marks->matchesIn(from, to), m_marks->current()};
}

void TextView::drawRow(QPainter &painter, const RowMap::Row &row, qreal y, bool selection,
                       const Marks &marks)
{
    const RowMap::Shaped shaped = m_rows.shape(row);
    const QPointF origin(Margin, y - shaped.line.y());
    QList<QTextLayout::FormatRange> ranges;
    const auto add = [&](int from, int to, const QBrush &background, const QBrush &foreground) {
        from = std::max(from, row.start);
        to = std::min(to, row.end);
        if (from >= to)
            return;
        QTextLayout::FormatRange range;
        range.start = from - shaped.start;
        range.length = to - from;
        range.format.setBackground(background);
        if (foreground.style() != Qt::NoBrush)
            range.format.setForeground(foreground);
        ranges.append(range);
    };
    // Later ranges are drawn over earlier ones: the current match over the
    // others, the selection over all.
    const auto &matches = marks.matches;
    auto match = std::partition_point(matches.begin(), matches.end(),
                                      [&row](const auto &m) { return m.end() <= row.start; });
    if (match != matches.end() && match->start < row.end) {
        const QColor tint = matchTint(palette());
        for (; match != matches.end() && match->start < row.end; ++match)
            add(match->start, match->end(), tint, Qt::NoBrush);
    }
    if (marks.current.isValid())
        add(marks.current.start, marks.current.end(),
            palette().brush(QPalette::Inactive, QPalette::Highlight),
            palette().brush(QPalette::Inactive, QPalette::HighlightedText));
    if (selection)
        add(m_model.selectionStart(), m_model.selectionEnd(), palette().brush(QPalette::Highlight),
            palette().brush(QPalette::HighlightedText));
    const QRectF clip(0, y, viewport()->width(), m_rows.rowHeight());
    const std::vector<Picture> pictures = ownPictures(row, shaped, origin);
    if (pictures.empty())
        drawShaped(painter, shaped, origin, ranges, clip);
    else
        drawPictures(painter, shaped, origin, ranges, clip, pictures);
}

void TextView::drawShaped(QPainter &painter, const RowMap::Shaped &shaped, QPointF origin,
                          const QList<QTextLayout::FormatRange> &ranges, const QRectF &clip)
{
    if (ranges.isEmpty()) {
        shaped.line.draw(&painter, origin);
        return;
    }
    // The layout draws the rows next to the clip as well; the painter's clip
    // keeps them from being drawn twice.
    painter.save();
    painter.setClipRect(clip, Qt::IntersectClip);
    shaped.layout->draw(&painter, origin, ranges, clip);
    painter.restore();
}

std::vector<TextView::Picture>
TextView::ownPictures(const RowMap::Row &row, const RowMap::Shaped &shaped, QPointF origin) const
{
    std::vector<Picture> pictures;
    const QString text = shaped.layout->text();
    const int end = std::min<int>(row.end - shaped.start, int(text.size()));
    for (int i = std::max(row.start - shaped.start, 0); i < end; ++i) {
        const char16_t unit = text.at(i).unicode();
        if (!m_pictures.drawsOwn(unit))
            continue;
        // The layout counts the pre-edit text in its positions.
        const bool afterPreedit = !m_preedit.isEmpty() && shaped.start + i >= m_model.caret();
        const int at = i + (afterPreedit ? int(m_preedit.size()) : 0);
        const qreal leading = shaped.line.cursorToX(at, QTextLine::Leading);
        const qreal trailing = shaped.line.cursorToX(at, QTextLine::Trailing);
        const QRectF cell(origin.x() + std::min(leading, trailing), origin.y() + shaped.line.y(),
                          std::abs(trailing - leading), shaped.line.height());
        pictures.push_back({cell, i, unit});
    }
    return pictures;
}

void TextView::drawPictures(QPainter &painter, const RowMap::Shaped &shaped, QPointF origin,
                            const QList<QTextLayout::FormatRange> &ranges, const QRectF &clip,
                            const std::vector<Picture> &pictures)
{
    QRegion cells;
    for (const Picture &picture : pictures)
        cells += picture.cell.toRect();
    painter.save();
    painter.setClipRegion(QRegion(clip.toAlignedRect()) - cells);
    drawShaped(painter, shaped, origin, ranges, clip);
    // In the cells, the marks and the selection without the missing-glyph boxes.
    if (!ranges.isEmpty()) {
        QList<QTextLayout::FormatRange> backgrounds = ranges;
        for (QTextLayout::FormatRange &range : backgrounds)
            range.format.setForeground(Qt::transparent);
        painter.setClipRegion(cells);
        painter.setPen(Qt::transparent);
        shaped.layout->draw(&painter, origin, backgrounds, clip);
    }
    painter.restore();
    for (const Picture &picture : pictures) {
        QColor color = painter.pen().color();
        for (auto range = ranges.rbegin(); range != ranges.rend(); ++range) {
            if (picture.index >= range->start && picture.index < range->start + range->length &&
                range->format.hasProperty(QTextFormat::ForegroundBrush)) {
                color = range->format.foreground().color();
                break;
            }
        }
        m_pictures.draw(painter, picture.cell, picture.shown, color);
    }
}

void TextView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const QRect dirty = event->rect();
    const bool focused = hasFocus();
    const bool selection = focused && m_model.hasSelection();
    int caret = -1;
    if (m_dropCaret >= 0)
        caret = m_dropCaret;
    else if (focused && m_caretShown)
        caret = m_model.caret();
    const qreal height = m_rows.rowHeight();
    // Rows below the dirty area are not even looked for: they may need wrapping.
    const qreal bottom = std::min<qreal>(viewport()->height(), dirty.bottom() + 1);
    std::vector<std::pair<RowMap::Row, qreal>> rows;
    RowMap::Row walk = m_rows.rowAt(m_top);
    for (qreal y = topY();; y += height) {
        if (y + height > dirty.top())
            rows.emplace_back(walk, y);
        if (y + height >= bottom || !m_rows.next(walk))
            break;
    }
    if (rows.empty())
        return;
    // The marks are asked for once, for the rows painted only.
    const Marks marks = marksIn(rows.front().first.start, rows.back().first.end);
    for (const auto &[row, y] : rows) {
        drawRow(painter, row, y, selection, marks);
        if (caret >= row.start && (caret < row.end || (row.lastInLine() && caret == row.end))) {
            const RowMap::Shaped shaped = m_rows.shape(row);
            const int at = caret - shaped.start + (m_preedit.isEmpty() ? 0 : m_preeditCursor);
            shaped.layout->drawCursor(&painter, QPointF(Margin, y - shaped.line.y()), at, 1);
        }
    }
}
