#pragma once

#include <QLabel>

// A label of the help and about windows: plain text (a "<BR>" in an answer is
// shown, not obeyed), left-aligned from the top, wrapped at word boundaries and
// painted over whatever lies below it.
class InfoLabel : public QLabel
{
    Q_OBJECT

public:
    explicit InfoLabel(const QString &text, QWidget *parent = nullptr);

    // Lets what lies below show through.
    void setTransparent();
};
