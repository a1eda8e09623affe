#pragma once

#include <QPushButton>

// A push button whose caption is centred and wrapped at word boundaries to fit
// the button, as a question needs.
class WrappingButton : public QPushButton
{
    Q_OBJECT

public:
    explicit WrappingButton(const QString &text, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
