#pragma once

#include "ui/window.h"

struct PaletteKind;

// A palette of sixteen colours that opens below its toolbar button, writes one
// fragment when a swatch is clicked and closes; it also closes, writing
// nothing, as soon as it loses the focus. What sets the three palettes apart
// is one row each of the table in palette.cpp.
class Palette : public Window
{
    Q_OBJECT

protected:
    Palette(WindowRegistry &registry, WindowId id);

    void changeEvent(QEvent *event) override;

private:
    void addSwatches();
    void choose(const QString &code);

    const PaletteKind &m_kind;
    // Set once the palette has been the active window; until then an
    // activation change is only the window system catching up.
    bool m_armed = false;
};

// Each palette is a window of its own in the registry, with its own name.
template <WindowId I> class PaletteWindow : public Palette
{
public:
    static constexpr WindowId Id = I;

    explicit PaletteWindow(WindowRegistry &registry) : Palette(registry, Id) {}
};

using TextColor = PaletteWindow<WindowId::TextColor>;
using BgColor = PaletteWindow<WindowId::BgColor>;
using HlightColor = PaletteWindow<WindowId::HlightColor>;
