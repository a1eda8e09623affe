#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPoint>

#include <utility>

#include "editor/rows/rowmap.h"
#include "editor/text/textmodel.h"

class QMenu;
class QMimeData;

// A plain-text box for pages of any size: the text lives in a piece tree and
// only the rows on screen are shaped, wrapped at the box's width. A vertical
// scroll bar always shows; its value is the offset of the first row shown,
// so its range never depends on rows not yet wrapped.
class TextView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit TextView(QWidget *parent = nullptr);

    TextModel &model() { return m_model; }
    const TextModel &model() const { return m_model; }

    void copy();
    void cut();
    void paste();
    void selectAll();
    void undo();
    void redo();
    void deleteSelection();

    // The standard editing menu, each entry enabled only when it applies.
    QMenu *createContextMenu(QWidget *parent);

    QRect caretRect() const; // in the widget's coordinates
    int positionAt(QPoint widgetPoint) const;

protected:
    // Where dropped and pasted data comes in; a subclass may take other kinds.
    virtual bool canInsertFromMimeData(const QMimeData *source) const;
    virtual void insertFromMimeData(const QMimeData *source);

    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    // Layout and scrolling (textview.cpp).
    void relayout();
    void textChanged(int start, int removed, int added);
    void selectionChanged();
    qreal topY() const;
    int visibleRows() const;
    qreal caretX(const RowMap::Row &row) const;
    int positionInRow(const RowMap::Row &row, qreal x) const;
    // The row at `y`, or false past the last one.
    bool rowAtY(qreal y, RowMap::Row &row) const;
    void setTop(int offset);
    int maxTop() const;
    // Scrolls by up to `rows` rows; returns how many it scrolled.
    int scrollRows(int rows);
    void ensureCaretVisible();
    void updateScrollBar();
    void scrollBarAction(int action);
    // Repaints the rows on screen that hold any offset from `from` to `to`.
    void updateRows(int from, int to);
    void updateCaret();
    void restartBlink();
    void drawRow(QPainter &painter, const RowMap::Row &row, qreal y, bool selection);
    void publishSelection();

    // Keys (textviewkeys.cpp).
    bool moveKey(QKeyEvent *event);
    bool editKey(QKeyEvent *event);
    int wordLeft(int position) const;
    int wordRight(int position) const;
    int characterLeft(int position) const;
    int characterRight(int position) const;
    int verticalMove(int rows, int position);
    int pageMove(bool down);
    static bool typesText(const QKeyEvent *event);
    void typeText(const QString &text);
    void removeOr(int from, int to);

    // Mouse, clipboard and drag and drop (textviewmouse.cpp).
    // The word at `position`, or the run of spaces or the mark there.
    std::pair<int, int> wordAt(int position) const;
    void extendTo(int position);
    void startDrag();
    void autoScroll();

    TextModel m_model;
    mutable RowMap m_rows;
    int m_top = 0;        // offset of the first row shown
    qreal m_stickyX = -1; // kept by vertical moves
    qreal m_pageY = 0;    // where the caret stood on screen, kept by page moves
    bool m_pageYValid = false;
    bool m_paging = false;
    bool m_keepScroll = false; // Select All leaves the view where it is
    bool m_caretShown = true;
    std::pair<int, int> m_shownSelection; // as last painted
    QBasicTimer m_blink;
    int m_blinks = 0; // since the last key or click
    QBasicTimer m_autoScroll;
    QBasicTimer m_tripleClick;
    QPoint m_pressPoint;
    QPoint m_doubleClickPoint;
    QPoint m_lastMouse;
    bool m_mayDrag = false;
    bool m_selecting = false;
    std::pair<int, int> m_wordAnchor{-1, -1}; // the word double-clicked, while dragging
    int m_dropCaret = -1;
    int m_wheelRemainder = 0;
    QString m_preedit;
    int m_preeditCursor = 0;
};
