#include "app/splash.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include "app/mainwindow.h"
#include "app/recoverpage.h"
#include "ui/windowregistry.h"

Splash::Splash(WindowRegistry &registry)
    : Window(registry, Id, QString(), Border::Splash, 7380, 4200), m_timer(new QTimer(this))
{
    // A screen reader names the window after the program its artwork shows.
    setAccessibleName(QStringLiteral("Tagloom"));

    // The artwork is drawn from the top-left corner at its own size, 492 x 282
    // pixels, rendered for the screen's pixel density so that it stays sharp
    // when the desktop is scaled.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const QSize artwork(492, 282);
    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Picture"));
    picture->setPixmap(QIcon(QStringLiteral(":/splash.svg"))
                           .pixmap(artwork, screen ? screen->devicePixelRatio() : 1.0));
    picture->setGeometry(QRect(QPoint(0, 0), artwork));

    if (screen) {
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
    Main *main = registry().show<Main>();
    close();
    // Asked once the main window is up, with the page the answer fills.
    QTimer::singleShot(
        0, main, [&registry = registry(), main] { offerRecovery(registry, main->journal()); });
}
