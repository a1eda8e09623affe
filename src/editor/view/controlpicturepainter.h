#pragma once

#include <QColor>
#include <QFont>
#include <QImage>

#include <bitset>
#include <map>
#include <tuple>

class QPainter;
class QRectF;

// Draws the pictures of characters without a glyph of their own (see
// controlpictures.h) that the box's font, fallbacks included, has no glyph
// for either: the character's short name in small letters in a thin box, in
// the space the layout gave the missing glyph. Without it they would all be
// the same missing-glyph box.
class ControlPicturePainter
{
public:
    void setFont(const QFont &font);
    // Whether the picture `shown` is drawn here rather than by the font.
    bool drawsOwn(char16_t shown) const
    {
        const int at = slot(shown);
        return at >= 0 && m_own[std::size_t(at)];
    }
    void draw(QPainter &painter, const QRectF &cell, char16_t shown, const QColor &color) const;

private:
    static constexpr int Pictures = 35;
    static constexpr std::size_t MaxDrawn = 256;
    // A picture drawn once: its slot, colour and size in device pixels.
    using Key = std::tuple<int, QRgb, int, int>;
    // The picture's place in the table of names, or -1 for any other character.
    static int slot(char16_t shown)
    {
        if (shown >= 0x2400 && shown < 0x2420)
            return shown - 0x2400;
        if (shown == 0x2421)
            return 32;
        if (shown == 0x2424)
            return 33;
        return shown == 0x00B6 ? 34 : -1;
    }

    QImage render(int at, QSize pixels, qreal ratio, const QColor &color) const;

    std::bitset<Pictures> m_own;
    QFont m_labelFont;
    mutable std::map<Key, QImage> m_drawn;
};
