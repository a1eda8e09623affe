#pragma once

#include "app/window.h"

// A palette of sixteen colours that opens below its toolbar button, writes one
// fragment when a swatch is clicked and closes; it also closes, writing
// nothing, as soon as it loses the focus. The three palettes differ only in
// their name, their button and the fragment they write.
class Palette : public Window
{
    Q_OBJECT

public:
    enum class Kind { TextColor, BackColor, Highlight };

    static QString nameOf(Kind kind);

protected:
    Palette(WindowRegistry &registry, Kind kind);

    void changeEvent(QEvent *event) override;

private:
    void addSwatches();
    void choose(const QString &code);

    const Kind m_kind;
    // Set once the palette has been the active window; until then an
    // activation change is only the window system catching up.
    bool m_armed = false;
};

// Each palette is a window of its own in the registry, with its own name.
template <Palette::Kind K> class PaletteWindow : public Palette
{
public:
    static QString windowName() { return nameOf(K); }

    explicit PaletteWindow(WindowRegistry &registry) : Palette(registry, K) {}
};

using TextColor = PaletteWindow<Palette::Kind::TextColor>;
using BgColor = PaletteWindow<Palette::Kind::BackColor>;
using HlightColor = PaletteWindow<Palette::Kind::Highlight>;
