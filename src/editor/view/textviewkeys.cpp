// Keys of the text view: moving, selecting and editing as Qt's own boxes do.
#include <QKeyEvent>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include "editor/text/linebreaks.h"
#include "editor/view/textview.h"

namespace {

constexpr qreal Margin = 4; // as the view's

// Word moves look this far around the caret in a long line.
constexpr int WordWindow = 1024;

bool isShift(QKeyEvent *event, QKeySequence::StandardKey plain, QKeySequence::StandardKey shifted,
             bool &select)
{
    if (event->matches(plain)) {
        select = false;
        return true;
    }
    if (event->matches(shifted)) {
        select = true;
        return true;
    }
    return false;
}

} // namespace

void TextView::keyPressEvent(QKeyEvent *event)
{
    if (!m_blink.isActive())
        restartBlink(); // any key wakes a caret that stopped blinking
    if (moveKey(event) || editKey(event)) {
        event->accept();
        return;
    }
    if (typesText(event)) {
        typeText(event->text());
        event->accept();
        return;
    }
    event->ignore();
}

bool TextView::typesText(const QKeyEvent *event)
{
    // The key's whole text goes in when it starts with a character to show, a
    // surrogate pair's too, or a tab; control characters and Ctrl keys type nothing.
    const QString text = event->text();
    if (text.isEmpty() || event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return false;
    char32_t first = text.at(0).unicode();
    if (QChar::isHighSurrogate(first) && text.size() > 1 && text.at(1).isLowSurrogate())
        first = QChar::surrogateToUcs4(text.at(0), text.at(1));
    // Joiners and other invisible formatting characters are typed too.
    const QChar::Category category = QChar::category(first);
    return QChar::isPrint(first) || first == U'\t' || category == QChar::Other_Format ||
           category == QChar::Other_PrivateUse;
}

bool TextView::moveKey(QKeyEvent *event)
{
    const int caret = m_model.caret();
    bool select = false;
    int target = -1;
    bool vertical = false;
    const PieceTree &text = m_model.text();
    // In a right-to-left line Right goes back through the text and Left on,
    // as in Qt's own box.
    const bool rightToLeft = m_rows.direction(m_rows.rowAt(caret)) == Qt::RightToLeft;
    const auto character = [&](bool on) {
        if (m_model.hasSelection() && !select)
            return on ? m_model.selectionEnd() : m_model.selectionStart();
        return on ? characterRight(caret) : characterLeft(caret);
    };
    if (isShift(event, QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, select)) {
        target = character(!rightToLeft);
    } else if (isShift(event, QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar,
                       select)) {
        target = character(rightToLeft);
    } else if (isShift(event, QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, select)) {
        target = rightToLeft ? wordLeft(caret) : wordRight(caret);
    } else if (isShift(event, QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord,
                       select)) {
        target = rightToLeft ? wordRight(caret) : wordLeft(caret);
    } else if (isShift(event, QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine,
                       select)) {
        target = m_rows.rowAt(caret).start;
    } else if (isShift(event, QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine,
                       select)) {
        const RowMap::Row row = m_rows.rowAt(caret);
        target = row.end;
        // A wrapped row's end is the next row's start; stop before its break.
        if (!row.lastInLine() && row.end > row.start && text.at(row.end - 1).isSpace())
            --target;
    } else if (isShift(event, QKeySequence::MoveToStartOfDocument,
                       QKeySequence::SelectStartOfDocument, select)) {
        target = 0;
    } else if (isShift(event, QKeySequence::MoveToEndOfDocument, QKeySequence::SelectEndOfDocument,
                       select)) {
        target = m_model.length();
    } else if (isShift(event, QKeySequence::MoveToNextLine, QKeySequence::SelectNextLine, select)) {
        target = verticalMove(1, caret);
        // Selecting down from the last row takes in the rest of the page.
        vertical = target >= 0;
        if (target < 0 && select)
            target = m_model.length();
    } else if (isShift(event, QKeySequence::MoveToPreviousLine, QKeySequence::SelectPreviousLine,
                       select)) {
        target = verticalMove(-1, caret);
        vertical = target >= 0;
        if (target < 0 && select)
            target = 0;
    } else if (isShift(event, QKeySequence::MoveToNextPage, QKeySequence::SelectNextPage, select)) {
        target = pageMove(true);
        vertical = true;
    } else if (isShift(event, QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage,
                       select)) {
        target = pageMove(false);
        vertical = true;
    } else if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return true;
    } else {
        return false;
    }
    if (target < 0)
        return true; // a vertical move with nowhere to go leaves the selection alone
    const qreal stickyX = m_stickyX;
    m_model.closeTyping();
    m_paging = event->matches(QKeySequence::MoveToNextPage) ||
               event->matches(QKeySequence::MoveToPreviousPage) ||
               event->matches(QKeySequence::SelectNextPage) ||
               event->matches(QKeySequence::SelectPreviousPage);
    m_model.setSelection(target, select ? m_model.anchor() : target);
    m_paging = false;
    m_stickyX = vertical ? stickyX : -1;
    if (select)
        publishSelection();
    return true;
}

bool TextView::editKey(QKeyEvent *event)
{
    const int caret = m_model.caret();
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (event->matches(QKeySequence::Undo)) {
        undo();
    } else if (event->matches(QKeySequence::Redo)) {
        redo();
    } else if (event->matches(QKeySequence::Copy)) {
        copy();
    } else if (event->matches(QKeySequence::Cut)) {
        cut();
    } else if (event->matches(QKeySequence::Paste)) {
        paste();
    } else if (event->key() == Qt::Key_Backspace && !(event->modifiers() & ~Qt::ShiftModifier)) {
        removeOr(characterLeft(caret), caret);
    } else if (event->matches(QKeySequence::Delete)) {
        removeOr(caret, characterRight(caret));
    } else if (event->matches(QKeySequence::DeleteStartOfWord)) {
        removeOr(wordLeft(caret), caret);
    } else if (event->matches(QKeySequence::DeleteEndOfWord)) {
        removeOr(caret, wordRight(caret));
    } else if (enter && !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))) {
        // Shift+Enter too: a page knows only plain line breaks.
        m_model.closeTyping();
        m_model.replaceSelection(u"\n");
        m_model.closeTyping();
    } else {
        return false;
    }
    return true;
}

void TextView::removeOr(int from, int to)
{
    m_model.closeTyping();
    if (!m_model.hasSelection())
        m_model.setSelection(to, from);
    if (m_model.hasSelection())
        m_model.replaceSelection(QStringView());
}

void TextView::typeText(const QString &text)
{
    m_model.replaceSelection(LineBreaks::fromOutside(text), true);
    m_stickyX = -1;
}

int TextView::characterRight(int position) const
{
    const PieceTree &text = m_model.text();
    if (position >= text.length())
        return text.length();
    // The next grapheme boundary; a window keeps it cheap in a long line.
    const int end = std::min(text.length(), position + 64);
    const QString window = text.text(position, end - position);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, window);
    finder.setPosition(0);
    const qsizetype next = finder.toNextBoundary();
    return position + int(next > 0 ? next : 1);
}

int TextView::characterLeft(int position) const
{
    if (position <= 0)
        return 0;
    const PieceTree &text = m_model.text();
    const int start = std::max(0, position - 64);
    const QString window = text.text(start, position - start);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, window);
    finder.toEnd();
    const qsizetype previous = finder.toPreviousBoundary();
    return start + int(previous >= 0 && start + previous < position ? previous : window.size() - 1);
}

int TextView::wordRight(int position) const
{
    const PieceTree &text = m_model.text();
    const int line = text.lineAt(position);
    const int lineEnd = text.lineEnd(line);
    if (position >= lineEnd)
        return std::min(text.length(), position + 1);
    const int start = std::max(text.lineStart(line), position - WordWindow);
    const int end = std::min(lineEnd, position + WordWindow);
    QTextLayout layout(text.text(start, end - start), font());
    return start + layout.nextCursorPosition(position - start, QTextLayout::SkipWords);
}

int TextView::wordLeft(int position) const
{
    const PieceTree &text = m_model.text();
    const int line = text.lineAt(position);
    const int lineStart = text.lineStart(line);
    if (position <= lineStart)
        return std::max(0, position - 1);
    const int start = std::max(lineStart, position - WordWindow);
    const int end = std::min(text.lineEnd(line), position + WordWindow);
    QTextLayout layout(text.text(start, end - start), font());
    return start + layout.previousCursorPosition(position - start, QTextLayout::SkipWords);
}

int TextView::verticalMove(int rows, int position)
{
    RowMap::Row row = m_rows.rowAt(position);
    if (m_stickyX < 0)
        m_stickyX = caretX(row);
    bool moved = false;
    for (; rows > 0 && m_rows.next(row); --rows)
        moved = true;
    for (; rows < 0 && m_rows.previous(row); ++rows)
        moved = true;
    if (!moved)
        return -1;
    return positionInRow(row, m_stickyX);
}

int TextView::pageMove(bool down)
{
    // A page scrolls the view by the rows it shows whole, and the caret keeps
    // its place on the screen, as in Qt's own box.
    ensureCaretVisible();
    const qreal height = m_rows.rowHeight();
    const qreal bottom = viewport()->height();
    RowMap::Row row = m_rows.rowAt(m_model.caret());
    int index = 0; // the caret's row on screen
    for (RowMap::Row top = m_rows.rowAt(m_top); top.start < row.start && m_rows.next(top);)
        ++index;
    if (!m_pageYValid)
        m_pageY = topY() + index * height;
    m_pageYValid = true;
    qreal lastY = m_pageY;
    if (m_stickyX < 0)
        m_stickyX = caretX(row);
    const int caretRow = row.start;
    if (down) {
        // The rows shown whole; the page's last row needs the bottom margin too.
        RowMap::Row last = m_rows.rowAt(m_top);
        int whole = 0;
        bool atEnd = false;
        for (qreal y = topY();; y += height, ++whole) {
            RowMap::Row probe = last;
            const bool more = m_rows.next(probe);
            if (more ? y + height > bottom : y + height + Margin >= bottom)
                break;
            if (!more) {
                atEnd = true;
                lastY = bottom;
                break;
            }
            last = probe;
        }
        if (!atEnd)
            index -= scrollRows(whole);
        bool moved = false;
        do {
            moved = m_rows.next(row);
            index += moved ? 1 : 0;
        } while (moved && topY() + index * height < lastY);
    } else {
        if (m_top == 0)
            lastY = 0;
        else
            index -= scrollRows(-std::max(1, int(bottom / height)));
        bool moved = false;
        do {
            moved = m_rows.previous(row);
            index -= moved ? 1 : 0;
        } while (moved && topY() + index * height > lastY);
    }
    return row.start == caretRow ? -1 : positionInRow(row, m_stickyX);
}
