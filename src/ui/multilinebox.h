#pragma once

#include <QPlainTextEdit>

// A multi-line text box with a vertical scroll bar that wraps long lines and
// whose text is read exactly as typed, line breaks as '\n'. Tab moves on to
// the next control, as in every box of the program.
class MultiLineBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit MultiLineBox(QWidget *parent = nullptr);

    QString text() const;
    // The selected text, exactly as typed, line breaks as '\n'.
    QString selectedText() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
