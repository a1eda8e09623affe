// Keys and input methods of the text view: moving, selecting and editing as
// Qt's own boxes do.
#include <QInputMethodEvent>
#include <QKeyEvent>

#include "editor/text/linebreaks.h"
#include "editor/view/textview.h"

namespace {

// The text an input method sees around the caret: its line, or this much of
// a long one on either side.
constexpr int InputMethodWindow = 512;

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

bool TextView::event(QEvent *event)
{
    if (event->type() == QEvent::ShortcutOverride) {
        // Editing keys belong to the box while it has the focus.
        auto *key = static_cast<QKeyEvent *>(event);
        static const QKeySequence::StandardKey owned[] = {QKeySequence::Copy,
                                                          QKeySequence::Cut,
                                                          QKeySequence::Paste,
                                                          QKeySequence::Undo,
                                                          QKeySequence::Redo,
                                                          QKeySequence::SelectAll,
                                                          QKeySequence::Delete,
                                                          QKeySequence::MoveToStartOfDocument,
                                                          QKeySequence::MoveToEndOfDocument,
                                                          QKeySequence::MoveToNextWord,
                                                          QKeySequence::MoveToPreviousWord,
                                                          QKeySequence::SelectStartOfDocument,
                                                          QKeySequence::SelectEndOfDocument,
                                                          QKeySequence::DeleteStartOfWord,
                                                          QKeySequence::DeleteEndOfWord};
        bool own = (typesText(key) && key->key() != Qt::Key_Tab) || findRequestFor(key);
        for (QKeySequence::StandardKey sequence : owned)
            own = own || key->matches(sequence);
        if (own) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void TextView::keyPressEvent(QKeyEvent *event)
{
    if (!m_blink.isActive())
        restartBlink(); // any key wakes a caret that stopped blinking
    if (moveKey(event) || editKey(event) || findKey(event)) {
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
    using namespace CaretMotion;
    const int caret = m_model.caret();
    bool select = false;
    int target = -1;
    bool vertical = false;
    Follow follow = Follow::Caret;
    const PieceTree &text = m_model.text();
    // In a right-to-left line Right goes back through the text and Left on,
    // as in Qt's own box.
    const bool rightToLeft = m_rows.direction(m_rows.rowAt(caret)) == Qt::RightToLeft;
    const auto character = [&](bool on) {
        if (m_model.hasSelection() && !select)
            return on ? m_model.selectionEnd() : m_model.selectionStart();
        return on ? characterRight(text, caret) : characterLeft(text, caret);
    };
    if (isShift(event, QKeySequence::MoveToNextChar, QKeySequence::SelectNextChar, select)) {
        target = character(!rightToLeft);
    } else if (isShift(event, QKeySequence::MoveToPreviousChar, QKeySequence::SelectPreviousChar,
                       select)) {
        target = character(rightToLeft);
    } else if (isShift(event, QKeySequence::MoveToNextWord, QKeySequence::SelectNextWord, select)) {
        target = rightToLeft ? wordLeft(text, caret) : wordRight(text, caret);
    } else if (isShift(event, QKeySequence::MoveToPreviousWord, QKeySequence::SelectPreviousWord,
                       select)) {
        target = rightToLeft ? wordRight(text, caret) : wordLeft(text, caret);
    } else if (isShift(event, QKeySequence::MoveToStartOfLine, QKeySequence::SelectStartOfLine,
                       select)) {
        target = rowStart(m_rows, caret);
    } else if (isShift(event, QKeySequence::MoveToEndOfLine, QKeySequence::SelectEndOfLine,
                       select)) {
        target = rowEnd(m_rows, text, caret);
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
        follow = Follow::KeepPageY;
    } else if (isShift(event, QKeySequence::MoveToPreviousPage, QKeySequence::SelectPreviousPage,
                       select)) {
        target = pageMove(false);
        vertical = true;
        follow = Follow::KeepPageY;
    } else if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return true;
    } else {
        return false;
    }
    if (target < 0)
        return true; // a vertical move with nowhere to go leaves the selection alone
    const qreal stickyX = m_stickyX;
    moveCaret(target, select ? m_model.anchor() : target, follow);
    m_stickyX = vertical ? stickyX : -1;
    if (select)
        publishSelection();
    return true;
}

bool TextView::editKey(QKeyEvent *event)
{
    const int caret = m_model.caret();
    const PieceTree &text = m_model.text();
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
        removeOr(CaretMotion::erasedBefore(text, caret), caret);
    } else if (event->matches(QKeySequence::Delete)) {
        removeOr(CaretMotion::characterRight(text, caret), caret);
    } else if (event->matches(QKeySequence::DeleteStartOfWord) ||
               event->matches(QKeySequence::DeleteEndOfWord)) {
        // A word erased is a step of its own, as in Qt's box: it selects the
        // word and erases the selection.
        const bool back = event->matches(QKeySequence::DeleteStartOfWord);
        if (!m_model.hasSelection())
            moveCaret(back ? CaretMotion::wordLeft(text, caret)
                           : CaretMotion::wordRight(text, caret),
                      caret);
        deleteSelection();
    } else if (enter && !(event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))) {
        // Shift+Enter too: a page knows only plain line breaks.
        m_model.replaceSelection(u"\n");
    } else {
        return false;
    }
    return true;
}

QKeyCombination TextView::findShortcut(FindRequest request)
{
    // The same on every desktop: not every one binds a key to Replace.
    switch (request) {
    case FindRequest::Find:
        return Qt::CTRL | Qt::Key_F;
    case FindRequest::Replace:
        return Qt::CTRL | Qt::Key_H;
    case FindRequest::FindNext:
        return QKeyCombination(Qt::Key_F3);
    case FindRequest::FindPrevious:
        return Qt::SHIFT | Qt::Key_F3;
    }
    return {};
}

std::optional<FindRequest> TextView::findRequestFor(const QKeyEvent *event)
{
    for (FindRequest request : {FindRequest::Find, FindRequest::Replace, FindRequest::FindNext,
                                FindRequest::FindPrevious}) {
        if (event->keyCombination() == findShortcut(request))
            return request;
    }
    return std::nullopt;
}

bool TextView::findKey(QKeyEvent *event)
{
    const std::optional<FindRequest> request = findRequestFor(event);
    if (request)
        emit findRequested(*request);
    return request.has_value();
}

// Erases the selection, or else what lies between `anchor` and the caret put
// at `caret`, selected from the side Qt's box selects it from.
void TextView::removeOr(int anchor, int caret)
{
    // Erasing one character may join the last step; a selection erased is a step of its own.
    const auto kind =
        m_model.hasSelection() ? TextModel::EditStep::Command : TextModel::EditStep::Erasing;
    if (!m_model.hasSelection())
        moveCaret(caret, anchor);
    if (m_model.hasSelection())
        m_model.replaceSelection(QStringView(), kind);
}

void TextView::typeText(const QString &text)
{
    m_model.replaceSelection(LineBreaks::fromOutside(text), TextModel::EditStep::Typing);
    m_stickyX = -1;
}

int TextView::verticalMove(int rows, int position)
{
    if (m_stickyX < 0)
        m_stickyX = caretX(m_rows.rowAt(position), position);
    return CaretMotion::vertical(m_rows, position, rows, m_stickyX);
}

int TextView::pageMove(bool down)
{
    // A page scrolls the view by the rows it shows whole, and the caret keeps
    // its place on the screen, as in Qt's own box.
    ensureCaretVisible();
    if (m_stickyX < 0)
        m_stickyX = caretX(m_rows.rowAt(m_model.caret()), m_model.caret());
    CaretMotion::Screen shown = onScreen();
    const int target = CaretMotion::page(m_rows, shown, m_model.caret(), down, m_pageY, m_stickyX);
    setTop(shown.top);
    return target;
}

void TextView::inputMethodEvent(QInputMethodEvent *event)
{
    const QString commit = LineBreaks::fromOutside(event->commitString());
    const int replaced = std::max(0, event->replacementLength());
    const bool replacing = replaced > 0 || event->replacementStart() != 0;
    const int removed = replacing ? replaced : m_model.selectionEnd() - m_model.selectionStart();
    // A commit too long for the page changes nothing, the text it replaces included.
    if ((!commit.isEmpty() || replaced > 0) && m_model.allowsEdit(removed, commit.size())) {
        const TextModel::EditStep step(m_model, TextModel::EditStep::Typing);
        if (replacing) {
            const int from = m_model.caret() + event->replacementStart();
            m_model.replace(from, replaced, QStringView());
            m_model.setSelection(from, from);
        }
        m_model.replaceSelection(commit, TextModel::EditStep::Typing);
    }
    m_preedit = event->preeditString();
    m_preeditCursor = int(m_preedit.size());
    for (const QInputMethodEvent::Attribute &attribute : event->attributes()) {
        if (attribute.type == QInputMethodEvent::Cursor)
            m_preeditCursor = attribute.start;
    }
    if (!m_preedit.isEmpty() && m_model.hasSelection())
        deleteSelection();
    m_rows.setPreedit(m_model.caret(), m_preedit);
    viewport()->update();
    event->accept();
}

QVariant TextView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const PieceTree &text = m_model.text();
    const int caret = m_model.caret();
    // The text around the caret: its line, or a window of a long one.
    const int line = text.lineAt(caret);
    const int around = std::max(text.lineStart(line), caret - InputMethodWindow);
    const int aroundEnd = std::min(text.lineEnd(line), caret + InputMethodWindow);
    switch (query) {
    case Qt::ImEnabled:
        return true;
    case Qt::ImHints:
        return int(Qt::ImhMultiLine);
    case Qt::ImCursorRectangle:
        return caretRect();
    case Qt::ImAnchorRectangle:
        return caretRect();
    case Qt::ImFont:
        return font();
    case Qt::ImCursorPosition:
        return caret - around;
    case Qt::ImAnchorPosition:
        return std::clamp(m_model.anchor(), around, aroundEnd) - around;
    case Qt::ImAbsolutePosition:
        return caret;
    case Qt::ImSurroundingText:
        return text.text(around, aroundEnd - around);
    case Qt::ImCurrentSelection:
        return m_model.selectedText();
    case Qt::ImTextBeforeCursor:
        return text.text(around, caret - around);
    case Qt::ImTextAfterCursor:
        return text.text(caret, aroundEnd - caret);
    case Qt::ImMaximumTextLength:
        return QVariant();
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}
