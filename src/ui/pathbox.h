#pragma once

#include <QLineEdit>

class QMimeData;

// A one-line box for a file path. A name pasted or dropped into it keeps its
// bytes wherever the source gives them: a file manager's file: address, or
// text that is not UTF-8, goes in with each byte that is not UTF-8 as
// U+DC80 + byte, where Qt's own box would put U+FFFD.
class PathBox : public QLineEdit
{
    Q_OBJECT

public:
    explicit PathBox(QWidget *parent = nullptr);

    // The path that `data` holds: its first local file, or else its text.
    static QString pathFrom(const QMimeData *data);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool keepsBytes(const QMimeData *data) const;
    void pasteFrom(const QMimeData *data);
};
