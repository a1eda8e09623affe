#include "markup/palette.h"

#include <QApplication>
#include <QFrame>

#include "editor/document.h"
#include "markup/colortable.h"
#include "ui/clicklabel.h"

namespace {

constexpr int SwatchSize = 135;
constexpr int Pitch = 240;
constexpr int FirstLeft = 120;
constexpr int FirstTop = 120;
constexpr int PerRow = 8;

} // namespace

Palette::Palette(WindowRegistry &registry, WindowId id)
    : Window(registry, id, QString(), Border::Untitled, 2070, 630), m_id(id)
{
    // The window has no title; a screen reader still says which palette it is.
    switch (id) {
    case WindowId::TextColor:
        setAccessibleName(QStringLiteral("Text Color"));
        break;
    case WindowId::BgColor:
        setAccessibleName(QStringLiteral("Background Color"));
        break;
    default:
        setAccessibleName(QStringLiteral("Highlight Color"));
        break;
    }
    addSwatches();
}

void Palette::addSwatches()
{
    for (int i = 0; i < int(colorTable().size()); ++i) {
        const Swatch &swatch = colorTable()[i];
        const int left = FirstLeft + Pitch * (i % PerRow);
        const int top = FirstTop + Pitch * (i / PerRow);
        const QByteArray number = QByteArray::number(i + 1);
        const QByteArray shapeName = "Shape" + number;
        const QByteArray labelName = "Label" + number;

        auto *shape = add<QFrame>(this, shapeName.constData(), left, top, SwatchSize, SwatchSize);
        shape->setFrameShape(QFrame::Box);
        shape->setAutoFillBackground(true);
        QPalette fill = shape->palette();
        fill.setColor(QPalette::Window, swatch.fill);
        shape->setPalette(fill);
        shape->setAttribute(Qt::WA_TransparentForMouseEvents);

        // The label over the shape is transparent and takes the click.
        auto *label =
            add<ClickLabel>(this, labelName.constData(), left, top, SwatchSize, SwatchSize);
        label->setAccessibleName(swatch.name);
        const QString code = swatch.code;
        connect(label, &ClickLabel::clicked, this, [this, code] { choose(code); });
    }
}

void Palette::choose(const QString &code)
{
    switch (m_id) {
    case WindowId::TextColor:
        document().wrapSelection("<font color=#" + code + ">", "</font>");
        break;
    case WindowId::HlightColor:
        document().wrapSelection("<span style=background:#" + code + ">", "</span>");
        break;
    case WindowId::BgColor:
        document().insertFragment("<body bgcolor=#" + code + ">" + document().selectedText());
        break;
    default:
        break;
    }
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
