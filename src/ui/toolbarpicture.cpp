#include "ui/toolbarpicture.h"

#include <QEvent>
#include <QFile>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>

namespace {

// Renders for these device pixel ratios; the icon picks the nearest.
constexpr qreal Ratios[] = {1.0, 1.5, 2.0, 3.0};

bool followsPalette(const QString &resource)
{
    QFile file(resource);
    return file.open(QIODevice::ReadOnly) && file.readAll().contains("currentColor");
}

QIcon tinted(const QString &resource, const QSize &size, const QColor &color)
{
    const QIcon source(resource);
    QIcon icon;
    for (const qreal ratio : Ratios) {
        QPixmap pixmap = source.pixmap(size, ratio);
        QPainter painter(&pixmap);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(QRectF(QPointF(), pixmap.deviceIndependentSize()), color);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// Tints the picture again when the button's palette changes.
class Retint : public QObject
{
public:
    Retint(QToolButton *button, const QString &resource) : QObject(button), m_resource(resource)
    {
        button->installEventFilter(this);
        update(button);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::PaletteChange)
            update(static_cast<QToolButton *>(watched));
        return false;
    }

private:
    void update(QToolButton *button)
    {
        button->setIcon(
            tinted(m_resource, button->iconSize(), button->palette().color(QPalette::ButtonText)));
    }

    QString m_resource;
};

} // namespace

void ToolbarPicture::apply(QToolButton *button, const QString &resource)
{
    if (followsPalette(resource))
        new Retint(button, resource);
    else
        button->setIcon(QIcon(resource));
}
