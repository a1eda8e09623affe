#include "ui/caretnotice.h"

#include <QGuiApplication>
#include <QScreen>

#include "ui/placement.h"

namespace {

// Long enough to read a few words, as a tooltip stays.
constexpr int ShownMilliseconds = 4000;

} // namespace

CaretNotice::CaretNotice(QWidget *owner) : StatusLine(owner)
{
    // A window of the tooltip kind: no window manager places, frames or
    // focuses it, and on Wayland it stands where it is put, by the owner.
    // Unlike Qt's own tooltip, its changes are sent to assistive technology.
    setWindowFlags(Qt::ToolTip);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setMargin(2);
    m_hide.setSingleShot(true);
    m_hide.setInterval(ShownMilliseconds);
    connect(&m_hide, &QTimer::timeout, this, &QWidget::hide);
}

void CaretNotice::showAt(QPoint globalPoint, const QString &message)
{
    // Shown first and then changed, so that the change is heard from a
    // status that shows, even when the message is the same.
    setStatus(QString(), Announce::No);
    show();
    setStatus(message);
    adjustSize();
    // By the caret, but whole on its screen, as a tooltip is.
    QPoint place = globalPoint;
    if (const QScreen *on = QGuiApplication::screenAt(globalPoint))
        place = Placement::within({globalPoint, size()}, on->availableGeometry());
    move(place);
    m_hide.start();
}
