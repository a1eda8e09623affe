#include "markup/palette.h"

#include <QApplication>

#include <algorithm>
#include <iterator>

#include "editor/document.h"
#include "markup/colortable.h"
#include "ui/swatchbutton.h"

// One palette: the name a screen reader says for the untitled window, and the
// tags a swatch wraps the selection in, %1 standing for the colour's code.
struct PaletteKind
{
    WindowId id;
    const char *name;
    const char *open;
    const char *close;
};

namespace {

const PaletteKind Kinds[] = {
    {WindowId::TextColor, "Text Color", "<font color=#%1>", "</font>"},
    {WindowId::BgColor, "Background Color", "<body bgcolor=#%1>", ""},
    {WindowId::HlightColor, "Highlight Color", "<span style=background:#%1>", "</span>"},
};

const PaletteKind &kindOf(WindowId id)
{
    const auto *kind = std::find_if(std::begin(Kinds), std::end(Kinds),
                                    [id](const PaletteKind &k) { return k.id == id; });
    Q_ASSERT(kind != std::end(Kinds));
    return *kind;
}

constexpr int SwatchSize = 135;
constexpr int Pitch = 240;
constexpr int FirstLeft = 120;
constexpr int FirstTop = 120;
constexpr int PerRow = 8;

} // namespace

Palette::Palette(WindowRegistry &registry, WindowId id)
    : Window(registry, id, QString(), Border::Untitled, 2070, 630), m_kind(kindOf(id))
{
    setAccessibleName(QLatin1String(m_kind.name));
    addSwatches();
}

void Palette::addSwatches()
{
    for (int i = 0; i < int(colorTable().size()); ++i) {
        const Swatch &swatch = colorTable()[i];
        const QByteArray name = "Label" + QByteArray::number(i + 1);
        auto *button =
            add<SwatchButton>(this, name.constData(), FirstLeft + Pitch * (i % PerRow),
                              FirstTop + Pitch * (i / PerRow), SwatchSize, SwatchSize, swatch.fill);
        button->setAccessibleName(swatch.name);
        const QString code = swatch.code;
        connect(button, &SwatchButton::clicked, this, [this, code] { choose(code); });
    }
}

void Palette::choose(const QString &code)
{
    document().wrapSelection(QLatin1String(m_kind.open).arg(code), QLatin1String(m_kind.close));
    close();
}

void Palette::changeEvent(QEvent *event)
{
    Window::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (QApplication::activeWindow() == this) {
        m_armed = true;
    } else if (m_armed) {
        closeSoon();
    }
}
