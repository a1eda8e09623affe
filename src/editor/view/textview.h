#pragma once

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QPoint>
#include <QPointer>
#include <QTextLayout>

#include <optional>
#include <utility>
#include <vector>

#include "editor/rows/rowmap.h"
#include "editor/text/textmodel.h"
#include "editor/text/textsearch.h"
#include "editor/view/caretmotion.h"
#include "editor/view/controlpicturepainter.h"
#include "editor/view/findrequest.h"

class PageSearch;
class QMenu;
class QMimeData;

// A plain-text box for pages of any size: it shows a text model it is handed
// and does not own, and shapes only the rows on screen, wrapped at the box's
// width. A vertical scroll bar always shows; its value is the offset of the
// first row shown, so its range never depends on rows not yet wrapped.
//
// Its members are defined in one file per topic: textview.cpp (layout,
// scrolling, following the caret), textviewpaint.cpp, textviewkeys.cpp (keys
// and input methods), textviewpointer.cpp (mouse and wheel),
// textviewclipboard.cpp (clipboard and context menu) and
// textviewdragdrop.cpp. Where the caret goes is caretmotion.h's.
class TextView : public QAbstractScrollArea
{
    Q_OBJECT

public:
    explicit TextView(TextModel &model, QWidget *parent = nullptr);

    TextModel &model() { return m_model; }
    const TextModel &model() const { return m_model; }

    void copy();
    void cut();
    void paste();
    void selectAll();
    void undo();
    void redo();
    void deleteSelection();

    // The standard editing menu, each entry enabled only when it applies,
    // and Find and Replace.
    QMenu *createContextMenu(QWidget *parent);

    // The search whose matches the view marks, while it shows them.
    void setMarks(const PageSearch *search);

    // Where the caret stands, or would stand at `position`, in the widget's coordinates.
    QRect caretRect() const { return caretRect(m_model.caret()); }
    QRect caretRect(int position) const;
    int positionAt(QPoint widgetPoint) const;

signals:
    // Ctrl+F, Ctrl+H, F3, Shift+F3 or the context menu's Find and Replace.
    void findRequested(FindRequest request);

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
    using Follow = TextModel::Follow;
    // Space between the frame and the text, as in Qt's own text boxes.
    static constexpr qreal Margin = 4;

    // Layout, scrolling and following the caret (textview.cpp).
    void relayout();
    void showTextChange(int start, int removed, int added);
    void showSelection(Follow follow);
    // Every move of the view's own: the new selection, and how the view follows it.
    void moveCaret(int caret, int anchor, Follow follow = Follow::Caret);
    qreal topY() const;
    int visibleRows() const;
    qreal caretX(const RowMap::Row &row, int position) const;
    // The row at `y`, or false past the last one.
    bool rowAtY(qreal y, RowMap::Row &row) const;
    void setTop(int offset);
    int maxTop() const;
    CaretMotion::Screen onScreen() const;
    // Scrolls by up to `rows` rows; returns how many it scrolled.
    int scrollRows(int rows);
    void ensureCaretVisible();
    void updateScrollBar();
    void scrollBarAction(int action);
    // Repaints the rows on screen that hold any offset from `from` to `to`.
    void updateRows(int from, int to);
    void updateCaret();
    void restartBlink();

    // Painting (textviewpaint.cpp).
    // The search's matches on the rows painted, drawn under the text.
    struct Marks
    {
        std::vector<TextSearch::Match> matches; // in order
        TextSearch::Match current;
    };
    Marks marksIn(int from, int to) const;
    void drawRow(QPainter &painter, const RowMap::Row &row, qreal y, bool selection,
                 const Marks &marks);
    void drawShaped(QPainter &painter, const RowMap::Shaped &shaped, QPointF origin,
                    const QList<QTextLayout::FormatRange> &ranges, const QRectF &clip);
    // The pictures on `row` that are drawn here rather than by the font.
    struct Picture
    {
        QRectF cell;
        int index = 0; // in the shaped text
        char16_t shown = 0;
    };
    std::vector<Picture> ownPictures(const RowMap::Row &row, const RowMap::Shaped &shaped,
                                     QPointF origin) const;
    void drawPictures(QPainter &painter, const RowMap::Shaped &shaped, QPointF origin,
                      const QList<QTextLayout::FormatRange> &ranges, const QRectF &clip,
                      const std::vector<Picture> &pictures);

    // Keys and input methods (textviewkeys.cpp).
    bool moveKey(QKeyEvent *event);
    bool editKey(QKeyEvent *event);
    bool findKey(QKeyEvent *event);
    static QKeyCombination findShortcut(FindRequest request);
    static std::optional<FindRequest> findRequestFor(const QKeyEvent *event);
    int verticalMove(int rows, int position);
    int pageMove(bool down);
    static bool typesText(const QKeyEvent *event);
    void typeText(const QString &text);
    void removeOr(int anchor, int caret);

    // Mouse and wheel (textviewpointer.cpp).
    // The word double-clicked or the line triple-clicked last: a drag or a
    // Shift+click extends by words or lines until a plain click. It keeps the
    // caret's x of the moment it was clicked, which moves up and down take
    // when it is selected again.
    struct ClickedSpan
    {
        int from = -1;
        int to = -1;
        qreal x = 0;
        bool isSet() const { return from >= 0; }
        // As Qt's text cursors follow a change: text inserted at either end
        // moves that end on, unless `keepStart` keeps ends at `start`; unset
        // once empty.
        ClickedSpan followed(int start, int removed, int added, bool keepStart) const;
    };
    void placeCaret(int caret, int anchor);
    ClickedSpan selectClicked(int from, int to);
    void reselect(const ClickedSpan &span);
    void extendTo(int position, int x);
    void extendByWords(int position, qreal x);
    void extendByLines(int position);
    void followClickedSpans(int start, int removed, int added);
    void autoScroll();

    // Clipboard and context menu (textviewclipboard.cpp).
    void publishSelection();
    void requestFind();

    // Drag and drop (textviewdragdrop.cpp).
    void startDrag();

    TextModel &m_model;
    QPointer<const PageSearch> m_marks;
    mutable RowMap m_rows;
    ControlPicturePainter m_pictures;
    int m_top = 0;        // offset of the first row shown
    qreal m_stickyX = -1; // kept by vertical moves
    qreal m_pageY = -1;   // where the caret stood on screen, kept by page moves
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
    bool m_leftDown = false;
    bool m_selecting = false; // since a press of the left button, until its release
    ClickedSpan m_clickedWord;
    ClickedSpan m_clickedLine;
    int m_dropCaret = -1;
    int m_wheelRemainder = 0;
    QString m_preedit;
    int m_preeditCursor = 0;
};
