#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Window layouts are stored in twips; at 96 dpi fifteen of them make one logical pixel.
namespace Twips {

constexpr int PerPixel = 15;

constexpr int toPixels(int twips)
{
    // Rounds half away from zero, so negative screen positions convert like positive ones.
    return twips >= 0 ? (twips + PerPixel / 2) / PerPixel : -((-twips + PerPixel / 2) / PerPixel);
}

constexpr int fromPixels(int pixels)
{
    return pixels * PerPixel;
}

inline QPoint point(int x, int y)
{
    return {toPixels(x), toPixels(y)};
}

inline QSize size(int width, int height)
{
    return {toPixels(width), toPixels(height)};
}

inline QRect rect(int left, int top, int width, int height)
{
    return {point(left, top), size(width, height)};
}

} // namespace Twips
