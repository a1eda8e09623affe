#pragma once

#include <QColor>
#include <QLatin1String>

#include <array>

// The sixteen swatches shared by the three palettes, in place order: row 1
// left to right, then row 2. A swatch shows the classic screen colour but
// writes the program's own code, so the two differ for ten of them.
struct Swatch
{
    QColor fill;
    QLatin1String code;
};

inline const std::array<Swatch, 16> &colorTable()
{
    static const std::array<Swatch, 16> table = {{
        {QColor(0, 0, 0), QLatin1String("000000")},
        {QColor(128, 128, 128), QLatin1String("777777")},
        {QColor(128, 0, 0), QLatin1String("770000")},
        {QColor(128, 128, 0), QLatin1String("999933")},
        {QColor(0, 128, 0), QLatin1String("007700")},
        {QColor(0, 128, 128), QLatin1String("006666")},
        {QColor(0, 0, 128), QLatin1String("000066")},
        {QColor(128, 0, 128), QLatin1String("663366")},
        {QColor(255, 255, 255), QLatin1String("FFFFFF")},
        {QColor(192, 192, 192), QLatin1String("BBBBBB")},
        {QColor(255, 0, 0), QLatin1String("FF0000")},
        {QColor(255, 255, 0), QLatin1String("FFFF00")},
        {QColor(0, 255, 0), QLatin1String("00FF00")},
        {QColor(0, 255, 255), QLatin1String("33FFFF")},
        {QColor(0, 0, 255), QLatin1String("3300FF")},
        {QColor(255, 0, 255), QLatin1String("FF00FF")},
    }};
    return table;
}
