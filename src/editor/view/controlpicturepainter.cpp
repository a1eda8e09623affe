#include "editor/view/controlpicturepainter.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>

namespace {

// By slot: the C0 controls, DEL, the line separator and the paragraph separator.
constexpr const char *Names[] = {"NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",
                                 "HT",  "LF",  "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1",
                                 "DC2", "DC3", "DC4", "NAK", "SYN", "ETB", "CAN", "EM",  "SUB",
                                 "ESC", "FS",  "GS",  "RS",  "US",  "DEL", "LS",  "PS"};

} // namespace

void ControlPicturePainter::setFont(const QFont &font)
{
    // Shaped as the rows are, so that fallback fonts count; glyph 0 is the
    // missing-glyph box.
    QString pictures;
    for (char16_t unit = 0x2400; unit < 0x2420; ++unit)
        pictures += QChar(unit);
    pictures += QChar(char16_t(0x2421));
    pictures += QChar(char16_t(0x2424));
    pictures += QChar(char16_t(0x00B6));
    QTextLayout probe(pictures, font);
    probe.beginLayout();
    const QTextLine line = probe.createLine();
    probe.endLayout();
    for (int i = 0; i < Pictures; ++i) {
        const QList<QGlyphRun> runs = line.glyphRuns(i, 1);
        m_own[std::size_t(i)] = std::all_of(runs.begin(), runs.end(), [](const QGlyphRun &run) {
            const QList<quint32> glyphs = run.glyphIndexes();
            return std::all_of(glyphs.begin(), glyphs.end(),
                               [](quint32 glyph) { return glyph == 0; });
        });
    }
    m_labelFont = font;
    m_labelFont.setPixelSize(std::max(6, qRound(QFontMetricsF(font).height() * 0.6)));
    m_drawn.clear();
}

void ControlPicturePainter::draw(QPainter &painter, const QRectF &cell, char16_t shown,
                                 const QColor &color) const
{
    const int at = slot(shown);
    if (at < 0)
        return;
    // A screen of them would otherwise lay out their names over and over.
    const qreal ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1;
    const QSize pixels = (cell.size() * ratio).toSize();
    const Key key{at, color.rgba(), pixels.width(), pixels.height()};
    auto found = m_drawn.find(key);
    if (found == m_drawn.end()) {
        if (m_drawn.size() >= MaxDrawn)
            m_drawn.clear();
        found = m_drawn.emplace(key, render(at, pixels, ratio, color)).first;
    }
    painter.drawImage(cell.topLeft(), found->second);
}

QImage ControlPicturePainter::render(int at, QSize pixels, qreal ratio, const QColor &color) const
{
    QImage image(pixels.expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    const QRectF cell(QPointF(0, 0), QSizeF(pixels) / ratio);
    const QString name = QString::fromLatin1(Names[at]);
    const qreal inset = cell.height() * 0.12;
    const QRectF box = cell.adjusted(0.5, inset, -0.5, -inset);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(color, 0));
    painter.drawRect(box);
    // Names wider than the box are squeezed, not cut.
    const qreal width = QFontMetricsF(m_labelFont).horizontalAdvance(name);
    const qreal room = std::max<qreal>(box.width() - 1, 1);
    painter.translate(box.center());
    if (width > room)
        painter.scale(room / width, 1);
    painter.setFont(m_labelFont);
    painter.drawText(QRectF(-width / 2, -box.height() / 2, width, box.height()), Qt::AlignCenter,
                     name);
    return image;
}
