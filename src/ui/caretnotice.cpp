#include "ui/caretnotice.h"

namespace {

// Long enough to read a few words, as a tooltip stays.
constexpr int ShownMilliseconds = 4000;

} // namespace

CaretNotice::CaretNotice(QWidget *owner) : StatusLine(owner)
{
    // Over the owner, outside its layout; the window manager neither places
    // nor focuses it, as it does not a tooltip.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                   Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
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
    move(globalPoint);
    show();
    setStatus(message);
    adjustSize();
    m_hide.start();
}
