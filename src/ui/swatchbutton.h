#pragma once

#include <QAbstractButton>
#include <QColor>

// A colour swatch that is itself the button: a fill inside a one-pixel box in
// the text colour, pressed by a left click or by assistive technology, which
// knows it by its accessible name. It never takes the keyboard focus.
class SwatchButton : public QAbstractButton
{
    Q_OBJECT

public:
    explicit SwatchButton(const QColor &fill, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_fill;
};
