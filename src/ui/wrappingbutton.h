#pragma once

#include <QPushButton>

#include "ui/fitting.h"

// A push button whose caption is centred and wrapped at word boundaries to fit
// the button, as a question needs.
class WrappingButton : public QPushButton
{
    Q_OBJECT

public:
    explicit WrappingButton(const QString &text, QWidget *parent = nullptr);

    // The caption and the area it is wrapped in.
    Fitting::Caption caption() const;
    // The button's font, smaller where the wrapped caption would not fit otherwise.
    QFont captionFont() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
