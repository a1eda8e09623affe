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
    QLatin1String name; // of the colour shown, for screen readers
};

inline const std::array<Swatch, 16> &colorTable()
{
    static const std::array<Swatch, 16> table = {{
        {QColor(0, 0, 0), QLatin1String("000000"), QLatin1String("Black")},
        {QColor(128, 128, 128), QLatin1String("777777"), QLatin1String("Gray")},
        {QColor(128, 0, 0), QLatin1String("770000"), QLatin1String("Maroon")},
        {QColor(128, 128, 0), QLatin1String("999933"), QLatin1String("Olive")},
        {QColor(0, 128, 0), QLatin1String("007700"), QLatin1String("Green")},
        {QColor(0, 128, 128), QLatin1String("006666"), QLatin1String("Teal")},
        {QColor(0, 0, 128), QLatin1String("000066"), QLatin1String("Navy")},
        {QColor(128, 0, 128), QLatin1String("663366"), QLatin1String("Purple")},
        {QColor(255, 255, 255), QLatin1String("FFFFFF"), QLatin1String("White")},
        {QColor(192, 192, 192), QLatin1String("BBBBBB"), QLatin1String("Silver")},
        {QColor(255, 0, 0), QLatin1String("FF0000"), QLatin1String("Red")},
        {QColor(255, 255, 0), QLatin1String("FFFF00"), QLatin1String("Yellow")},
        {QColor(0, 255, 0), QLatin1String("00FF00"), QLatin1String("Lime")},
        {QColor(0, 255, 255), QLatin1String("33FFFF"), QLatin1String("Aqua")},
        {QColor(0, 0, 255), QLatin1String("3300FF"), QLatin1String("Blue")},
        {QColor(255, 0, 255), QLatin1String("FF00FF"), QLatin1String("Fuchsia")},
    }};
    return table;
}
