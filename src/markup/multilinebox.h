#pragma once

#include <QPlainTextEdit>

// A multi-line text box with a vertical scroll bar whose text is read exactly as
// typed, line breaks as '\n'. Tab moves on to the next control.
class MultiLineBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit MultiLineBox(QWidget *parent = nullptr);

    QString text() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
