#include "platform/messagebox.h"

#include <QAbstractButton>

MessageBox::Answerer &MessageBox::answerer()
{
    static Answerer instance;
    return instance;
}

QMessageBox::StandardButton MessageBox::show(const Message &message)
{
    if (answerer())
        return answerer()(message);

    // No parent: the box is modal to the application, as every message of the program.
    QMessageBox box(message.icon, message.title, message.text, message.buttons);
    // Messages hold paths and typed text: taken as markup, a picture tag
    // naming a device or a FIFO would be loaded as a picture.
    box.setTextFormat(Qt::PlainText);
    if (message.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(message.defaultButton);
    for (const auto &[button, caption] : message.captions)
        box.button(button)->setText(caption);
    if (message.escapeButton != QMessageBox::NoButton)
        box.setEscapeButton(message.escapeButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void MessageBox::inform(const QString &text, const QString &title, QMessageBox::Icon icon)
{
    show({text, title, QMessageBox::Ok, QMessageBox::Ok, icon});
}

void MessageBox::setAnswerer(Answerer answerer)
{
    MessageBox::answerer() = std::move(answerer);
}
