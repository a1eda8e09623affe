#include "app/splash.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include "app/mainwindow.h"
#include "ui/windowregistry.h"

Splash::Splash(WindowRegistry &registry)
    : Window(registry, Id, QString(), Border::Splash, 7380, 4200), m_timer(new QTimer(this))
{
    // The artwork is drawn from the top-left corner at its own size, 492 x 282 pixels.
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture"));
    picture->setPixmap(QPixmap(QStringLiteral(":/splash.svg")));
    picture->setGeometry(0, 0, 492, 282);

    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
    }

    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(2000);
    // A coarse timer may fire a little early; the artwork stands its full two seconds.
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &Splash::timerFired);
    m_timer->start();
}

void Splash::timerFired()
{
    registry().show<Main>();
    close();
}
