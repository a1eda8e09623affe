#pragma once

#include <QPushButton>

// A push button whose caption is centred and wrapped at word boundaries to fit
// the button, as a question needs.
class WrappingButton : public QPushButton
{
    Q_OBJECT

public:
    explicit WrappingButton(const QString &text, QWidget *parent = nullptr);

    // The button's font, smaller where the wrapped caption would not fit otherwise.
    QFont captionFont() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QRect captionArea() const;
};
