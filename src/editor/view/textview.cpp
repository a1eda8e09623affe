#include "editor/view/textview.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyleHints>
#include <QTextLayout>

#include "editor/text/pagesearch.h"
#include "editor/view/accessibletextchanges.h"
#include "editor/view/quietscrollbar.h"
#include "editor/view/textaccessible.h"

namespace {

constexpr qreal TabStop = 80;
// As in the desktop's own text fields, the caret blinks for ten seconds at
// the usual rate after a key or a click, then stays shown, so that an idle
// editor wakes for nothing.
constexpr int BlinkCycles = 10;

} // namespace

TextView::TextView(TextModel &model, QWidget *parent)
    : QAbstractScrollArea(parent), m_model(model), m_rows(model.text())
{
    TextAccessible::install();
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);
    setVerticalScrollBar(new QuietScrollBar(Qt::Vertical, this));
    connect(&m_model, &TextModel::changed, this, &TextView::showTextChange);
    connect(&m_model, &TextModel::selectionChanged, this, &TextView::showSelection);
    // After the view's own handler, so that a listener asking back finds the rows laid out.
    new AccessibleTextChanges(m_model, this);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this](int value) {
        m_top = m_rows.rowAt(value).start;
        viewport()->update();
    });
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this, &TextView::scrollBarAction);
    relayout();
}

void TextView::setMarks(const PageSearch *search)
{
    if (m_marks)
        disconnect(m_marks, nullptr, viewport(), nullptr);
    m_marks = search;
    if (search)
        connect(search, &PageSearch::marksChanged, viewport(), qOverload<>(&QWidget::update));
    viewport()->update();
}

void TextView::relayout()
{
    const qreal width = viewport()->width() - 2 * Margin;
    m_rows.setFormat(font(), width, TabStop);
    m_pictures.setFont(font());
    m_top = m_rows.rowAt(m_top).start;
    updateScrollBar();
    viewport()->update();
}

void TextView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    relayout();
}

void TextView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        relayout();
    else if (event->type() == QEvent::PaletteChange)
        viewport()->update();
}

void TextView::showTextChange(int start, int removed, int added)
{
    const RowMap::Changed rows = m_rows.textChanged(start, removed, added);
    followClickedSpans(start, removed, added);
    const int top = m_top;
    if (m_top > start + removed)
        m_top += added - removed;
    else if (m_top > start)
        m_top = start;
    m_top = m_rows.rowAt(m_top).start;
    m_stickyX = -1;
    updateScrollBar();
    if (m_top == top && rows.from > top)
        updateRows(rows.from, rows.to);
    else
        viewport()->update();
}

void TextView::moveCaret(int caret, int anchor, Follow follow)
{
    m_model.setSelection(caret, anchor, follow);
}

void TextView::showSelection(Follow follow)
{
    if (follow != Follow::KeepPageY)
        m_pageY = -1;
    if (follow != Follow::KeepView)
        ensureCaretVisible();
    restartBlink();
    // What was highlighted and what is now, with the caret at either end.
    const int start = std::min(m_model.selectionStart(), m_shownSelection.first);
    const int end = std::max(m_model.selectionEnd(), m_shownSelection.second);
    const bool hadSelection = m_shownSelection.first != m_shownSelection.second;
    m_shownSelection = {m_model.selectionStart(), m_model.selectionEnd()};
    updateRows(start, end);
    if (QAccessible::isActive()) {
        QAccessibleTextCursorEvent moved(this, m_model.caret());
        QAccessible::updateAccessibility(&moved);
        // A selection that goes is a change of the selection too.
        if (m_model.hasSelection() || hadSelection) {
            QAccessibleTextSelectionEvent selected(this, m_model.selectionStart(),
                                                   m_model.selectionEnd());
            QAccessible::updateAccessibility(&selected);
        }
    }
}

qreal TextView::topY() const
{
    // The margin stands above the page's first row only, as in Qt's own box.
    return m_top == 0 ? Margin : 0;
}

int TextView::visibleRows() const
{
    return std::max(1, int((viewport()->height() - topY()) / m_rows.rowHeight()));
}

int TextView::maxTop() const
{
    // Found from the page's end, which a long last line wraps only around.
    const int length = m_model.length();
    // Rows that fit between the top and bottom margins, the last one whole.
    const int fit = std::max(1, int((viewport()->height() - 2 * Margin - 1) / m_rows.rowHeight()));
    RowMap::Row row = m_rows.rowAt(length);
    m_rows.walk(row, 1 - fit);
    return row.start;
}

void TextView::updateScrollBar()
{
    QScrollBar *bar = verticalScrollBar();
    // Set quietly: the view is drawn from m_top already, and a range moved by
    // a typed character needs no queued look at the scroll bars' layout.
    const QSignalBlocker quiet(bar);
    const int perRow = m_rows.charsPerRow();
    const int last = maxTop();
    if (m_top > last)
        m_top = m_rows.rowAt(last).start;
    bar->setRange(0, last);
    bar->setSingleStep(perRow);
    bar->setPageStep(std::max(1, (visibleRows() - 1) * perRow));
    bar->setValue(m_top);
}

void TextView::setTop(int offset)
{
    offset = std::clamp(offset, 0, std::max(0, maxTop()));
    m_top = m_rows.rowAt(offset).start;
    updateScrollBar();
    viewport()->update();
}

CaretMotion::Screen TextView::onScreen() const
{
    return {m_top, maxTop(), qreal(viewport()->height()), m_rows.rowHeight(), Margin};
}

int TextView::scrollRows(int rows)
{
    CaretMotion::Screen shown = onScreen();
    const int moved = CaretMotion::scroll(m_rows, shown, rows);
    setTop(shown.top);
    return moved;
}

void TextView::scrollBarAction(int action)
{
    // Steps go by rows, whatever their length in characters.
    int rows = 0;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        rows = 1;
        break;
    case QAbstractSlider::SliderSingleStepSub:
        rows = -1;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        rows = std::max(1, visibleRows() - 1);
        break;
    case QAbstractSlider::SliderPageStepSub:
        rows = -std::max(1, visibleRows() - 1);
        break;
    default:
        return;
    }
    scrollRows(rows);
    verticalScrollBar()->setSliderPosition(m_top);
}

void TextView::ensureCaretVisible()
{
    const qreal height = m_rows.rowHeight();
    const qreal bottom = viewport()->height();
    const int caret = m_model.caret();
    // The caret's row on screen, counted no further than the screen reaches.
    const auto caretIndex = [&] {
        return CaretMotion::rowsFrom(m_rows, m_top, caret, int(bottom / height) + 1);
    };
    const auto shownWhole = [&](int index) { return topY() + (index + 1) * height <= bottom; };
    const int index = caretIndex();
    if (index < 0) {
        setTop(m_rows.rowAt(caret).start);
        return;
    }
    if (shownWhole(index))
        return;
    // Scroll so that the caret's row is the last one shown whole.
    RowMap::Row row = m_rows.rowAt(caret);
    m_rows.walk(row, 1 - int(bottom / height));
    m_top = row.start;
    // Walking back into a long line far from its start may have wrapped its
    // rows afresh; counting them once more from the new top settles it.
    const int wanted = int((bottom - topY()) / height) - 1;
    if (const int off = caretIndex() - wanted; off != 0) {
        row = m_rows.rowAt(m_top);
        m_rows.walk(row, off);
        m_top = row.start;
    }
    // Above the page's first row stands the margin.
    if (m_top == 0 && !shownWhole(caretIndex()) && m_rows.next(row))
        m_top = row.start;
    updateScrollBar();
    viewport()->update();
}

bool TextView::rowAtY(qreal y, RowMap::Row &row) const
{
    row = m_rows.rowAt(m_top);
    const int rows = std::max(0, int((y - topY()) / m_rows.rowHeight()));
    return m_rows.walk(row, rows) == rows;
}

qreal TextView::caretX(const RowMap::Row &row, int position) const
{
    const int preedit = m_preedit.isEmpty() ? 0 : m_preeditCursor;
    return CaretMotion::xOf(m_rows, row, position + preedit);
}

int TextView::positionAt(QPoint widgetPoint) const
{
    // Above the first row is the page's start, below the last its end, as
    // in Qt's own box.
    const QPoint point = viewport()->mapFrom(this, widgetPoint);
    if (point.y() < topY())
        return m_top == 0 ? 0 : m_top;
    RowMap::Row row;
    if (!rowAtY(point.y(), row))
        return m_model.length();
    return CaretMotion::positionAtX(m_rows, row, point.x() - Margin);
}

QRect TextView::caretRect(int position) const
{
    const RowMap::Row caret = m_rows.rowAt(position);
    const int index = CaretMotion::rowsFrom(m_rows, m_top, caret.start, visibleRows() + 1);
    const qreal y = topY() + index * m_rows.rowHeight();
    const qreal x = Margin + caretX(caret, position);
    const QRect inViewport(int(x) - 1, int(y), 3, int(std::ceil(m_rows.rowHeight())));
    return inViewport.translated(viewport()->pos());
}

void TextView::updateRows(int from, int to)
{
    const qreal height = m_rows.rowHeight();
    const int bottom = viewport()->height();
    RowMap::Row row = m_rows.rowAt(m_top);
    qreal y = topY();
    qreal first = from <= m_top ? 0 : -1;
    for (; y < bottom && row.start <= to; y += height) {
        if (first < 0 && (row.end > from || (row.lastInLine() && row.end == from)))
            first = y;
        // Rows below the screen are not looked for: they may need wrapping.
        if (y + height >= bottom || !m_rows.next(row)) {
            y = bottom; // and the empty space below the last row
            break;
        }
    }
    if (to == RowMap::Changed::ToTheEnd)
        y = bottom;
    if (first >= 0 && y > first)
        viewport()->update(QRect(0, int(first), viewport()->width(), int(std::ceil(y - first))));
}

void TextView::updateCaret()
{
    viewport()->update(caretRect().translated(-viewport()->pos()));
}

void TextView::restartBlink()
{
    m_caretShown = true;
    m_blinks = 0;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flash > 0)
        m_blink.start(flash / 2, this);
    else
        m_blink.stop();
    updateCaret();
}

void TextView::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_blink.timerId()) {
        m_caretShown = !m_caretShown;
        if (m_caretShown && ++m_blinks >= BlinkCycles)
            m_blink.stop();
        updateCaret();
    } else if (event->timerId() == m_autoScroll.timerId()) {
        autoScroll();
    } else if (event->timerId() == m_tripleClick.timerId()) {
        m_tripleClick.stop();
    }
    QAbstractScrollArea::timerEvent(event);
}

void TextView::focusInEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusInEvent(event);
    restartBlink();
    viewport()->update();
}

void TextView::focusOutEvent(QFocusEvent *event)
{
    QAbstractScrollArea::focusOutEvent(event);
    m_blink.stop();
    // The selection stays but is not highlighted while another control works.
    viewport()->update();
}
