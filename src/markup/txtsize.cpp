#include "markup/txtsize.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>

#include "editor/document.h"
#include "ui/clicklabel.h"
#include "ui/risingscrollbar.h"

TxtSize::TxtSize(WindowRegistry &registry)
    : Window(registry, Id, QString(), Border::Untitled, 1230, 495)
{
    m_value = add<QLabel>(this, "Label1", 120, 120, 375, 255, QStringLiteral("1"));
    m_size = add<RisingScrollBar>(this, "VScroll1", 480, 120, 135, 255);
    auto *ok = add<ClickLabel>(this, "Label2", 720, 120, 375, 255, QStringLiteral(" Ok"));

    setAccessibleName(QStringLiteral("Text size"));
    m_size->setAccessibleName(QStringLiteral("Text size"));
    m_size->setRange(1, 99);
    m_size->setSingleStep(1);
    m_size->setPageStep(1);
    m_size->setValue(1);
    // A scroll bar takes no focus by default; this one holds it while the window is open.
    m_size->setFocusPolicy(Qt::StrongFocus);
    m_size->setFocus();
    m_size->installEventFilter(this);

    connect(m_size, &QScrollBar::valueChanged, this,
            [this](int value) { m_value->setText(QString::number(value)); });
    connect(ok, &ClickLabel::clicked, this, &TxtSize::ok);
}

void TxtSize::ok()
{
    document().insertFragment("<font size=" + QString::number(m_size->value()) + ">");
    close();
}

bool TxtSize::eventFilter(QObject *watched, QEvent *event)
{
    // The scroll bar's own context menu takes the focus only for a moment.
    if (watched == m_size && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
        closeSoon();
    return Window::eventFilter(watched, event);
}

void TxtSize::keyPressEvent(QKeyEvent *event)
{
    // The scroll bar passes on the keys it has no use for: Return is " Ok",
    // Escape closes the window, writing nothing.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ok();
        break;
    case Qt::Key_Escape:
        close();
        break;
    default:
        Window::keyPressEvent(event);
    }
}
