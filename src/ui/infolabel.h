#pragma once

#include <QLabel>

#include "ui/fitting.h"

// A label of the help and about windows: plain text (a "<BR>" in an answer is
// shown, not obeyed), left-aligned from the top, wrapped at word boundaries and
// painted over whatever lies below it. The text is drawn smaller where it
// would not show whole in the part of the label that shows.
class InfoLabel : public QLabel
{
    Q_OBJECT

public:
    explicit InfoLabel(const QString &text, QWidget *parent = nullptr);

    // Lets what lies below show through.
    void setTransparent();

    // The text and the part of the label it shows in: inside the window, and
    // not under an opaque control stacked above.
    Fitting::Caption caption() const;
    QFont captionFont() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
