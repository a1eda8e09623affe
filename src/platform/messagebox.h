#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

// The platform's modal message box. Tests install an answerer so that a box
// is answered without blocking.
class MessageBox
{
public:
    struct Message
    {
        QString text;
        QString title;
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        // Captions of our own for some of the buttons.
        QList<QPair<QMessageBox::StandardButton, QString>> captions = {};
        // The button that Escape and the close box answer; Qt's choice when none.
        QMessageBox::StandardButton escapeButton = QMessageBox::NoButton;
    };

    using Answerer = std::function<QMessageBox::StandardButton(const Message &)>;

    // Shows the message modally to the whole application and returns the button chosen.
    static QMessageBox::StandardButton show(const Message &message);

    // A message with an OK button only.
    static void inform(const QString &text, const QString &title,
                       QMessageBox::Icon icon = QMessageBox::NoIcon);

    // Replaces the real box; an empty answerer restores it.
    static void setAnswerer(Answerer answerer);

private:
    static Answerer &answerer();
};
