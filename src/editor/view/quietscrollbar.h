#pragma once

#include <QRect>
#include <QScrollBar>

// A scroll bar that repaints only when what it shows changes. Over a long
// page a typed character moves the range by one, which no pixel shows.
class QuietScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    explicit QuietScrollBar(Qt::Orientation orientation, QWidget *parent = nullptr);

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent *event) override;

private:
    struct Shown
    {
        QRect slider;
        bool atMinimum = false;
        bool atMaximum = false;
        bool operator==(const Shown &other) const
        {
            return slider == other.slider && atMinimum == other.atMinimum &&
                   atMaximum == other.atMaximum;
        }
    };
    Shown shown() const;

    Shown m_shown; // as last painted or asked to be
};
