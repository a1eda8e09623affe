#include "editor/view/textaccessible.h"

#include <QTextBoundaryFinder>

#include <algorithm>

#include "editor/view/textview.h"

namespace {

// A character, word or sentence is found by Qt's own boundary finder, as Qt's
// default answers do, but over a window of the text around the offset rather
// than over the whole page. Every kind of item starts afresh after a line
// break, so a window from one line break to just past another answers as the
// whole text would. At first the window is the offset's line when it is up to
// twice this long, else the text this far either side of the offset.
constexpr int Reach = 64;
// Where the walk runs past what the window can tell, that side reads four
// times as far, up to this far: a longer item (a minified page's line may be
// one "sentence") is read in part.
constexpr int MaxReach = 1024;
// Some rules look back or ahead over runs of marks, flags or spaces, so the
// finder may misplace a boundary this close to a cut inside a line.
constexpr int CutMargin = 16;
// A line (up to and with its '\n', as in Qt's defaults) is read whole up to
// this long; a longer one, such as a 16 MB line, in pieces of about this
// size, each ending after a space within the last PieceSlack characters
// where there is one, so that a screen reader reads it piece by piece.
constexpr int LinePiece = 1024;
constexpr int PieceSlack = 128;

enum class Side { Before, At, After };

// [start, end) of the text; -1 for both when there is no such item.
struct Span
{
    int start = -1;
    int end = -1;
};

// Qt's default walk from item edge to item edge, over the finder's text of
// `size` characters; `reached` grows to every position the walk stops at.
Span walkItem(QTextBoundaryFinder &finder, int size, Side side, int offset, Span &reached)
{
    const auto position = [&finder] { return int(finder.position()); };
    const auto atEdge = [&finder] {
        return finder.boundaryReasons() &
               (QTextBoundaryFinder::StartOfItem | QTextBoundaryFinder::EndOfItem);
    };
    const auto back = [&] {
        do
            reached.start = std::min(reached.start, int(finder.toPreviousBoundary()));
        while (position() > 0 && !atEdge());
    };
    const auto forward = [&] {
        do
            reached.end = std::max(reached.end, int(finder.toNextBoundary()));
        while (position() < size && !atEdge());
    };
    finder.setPosition(offset);
    reached = {offset, offset};
    // From 0, Qt's walk back goes on to -1 and then for ever; the start of
    // the text is an edge.
    if (side == Side::After)
        forward();
    else if (!atEdge() && offset > 0)
        back();
    const int edge = position();
    // There is no item before the first edge, where Qt answers -1 and 0, nor
    // from the end on, where Qt's walk goes on for ever.
    if (side == Side::Before ? edge == 0 : edge == size)
        return {};
    if (side == Side::Before) {
        back();
        return {position(), edge};
    }
    forward();
    return {edge, position()};
}

QTextBoundaryFinder::BoundaryType finderType(QAccessible::TextBoundaryType type)
{
    switch (type) {
    case QAccessible::WordBoundary:
        return QTextBoundaryFinder::Word;
    case QAccessible::SentenceBoundary:
        return QTextBoundaryFinder::Sentence;
    default:
        return QTextBoundaryFinder::Grapheme;
    }
}

// Line `line` with its '\n'.
Span lineSpan(const PieceTree &text, int line)
{
    const int next = line + 1;
    return {text.lineStart(line), next < text.lineCount() ? text.lineStart(next) : text.length()};
}

// The offset's line with the break before it and the character after it
// when it is short; else the text within Reach of the offset.
Span firstWindow(const PieceTree &text, int offset)
{
    const Span line = lineSpan(text, text.lineAt(offset));
    if (line.end - line.start <= 2 * Reach)
        return {std::max(0, line.start - 1), std::min(text.length(), line.end + 1)};
    return {std::max(0, offset - Reach), std::min(text.length(), offset + Reach)};
}

// Where a window starting at `start` starts when it reads further back: four
// times as far from the offset, up to MaxReach, then on at the next line
// break, where the finder starts afresh.
int earlierStart(const PieceTree &text, int offset, int start)
{
    const int target =
        std::max({0, offset - MaxReach, offset - 4 * std::max(Reach, offset - start)});
    if (target == 0 || target >= start)
        return std::min(target, start);
    const int lineBreak = text.lineEnd(text.lineAt(target));
    return lineBreak < start ? lineBreak : target;
}

// Where a window ending at `end` ends when it reads further on: alike, back to
// just past the character after a line break.
int laterEnd(const PieceTree &text, int offset, int end)
{
    const int length = text.length();
    const int target =
        std::min({length, offset + MaxReach, offset + 4 * std::max(Reach, end - offset)});
    if (target == length || target <= end)
        return std::max(target, end);
    const int lineStart = text.lineStart(text.lineAt(target - 1));
    return lineStart >= end ? lineStart + 1 : target;
}

// Whether `chars` may hold a sentence's end: a line break, '!', '.', '?', or
// any character beyond ASCII, where the finder alone can tell.
bool mayEndSentence(QStringView chars)
{
    constexpr quint64 Ends = 1ULL << '\n' | 1ULL << '\r' | 1ULL << '!' | 1ULL << '.' | 1ULL << '?';
    return std::any_of(chars.begin(), chars.end(), [](QChar c) {
        return c.unicode() >= 0x80 || (c.unicode() < 64 && (Ends >> c.unicode()) & 1);
    });
}

Span findItem(const PieceTree &text, Side side, QAccessible::TextBoundaryType type, int offset)
{
    const int length = text.length();
    Span window = firstWindow(text, offset);
    for (;;) {
        const QString chars = text.text(window.start, window.end - window.start);
        const int size = int(chars.size());
        // Text without a sentence's end is one sentence throughout: read on
        // without the finder, which costs far more.
        if (type == QAccessible::SentenceBoundary && !mayEndSentence(chars)) {
            const Span wider = {earlierStart(text, offset, window.start),
                                laterEnd(text, offset, window.end)};
            if (wider.start == window.start && wider.end == window.end) {
                // The sentence is at every offset but its end, and before its end.
                const bool end = offset == window.end;
                return (side == Side::At && !end) || (side == Side::Before && end) ? window
                                                                                   : Span();
            }
            window = wider;
            continue;
        }
        QTextBoundaryFinder finder(finderType(type), chars);
        Span reached;
        const Span item = walkItem(finder, size, side, offset - window.start, reached);
        // Whether the walk went where the finder's boundaries may not be the
        // whole text's.
        const bool early =
            window.start > 0 && reached.start < (chars.front() == u'\n' ? 1 : CutMargin);
        const bool late = window.end < length &&
                          reached.end > (chars.at(size - 2) == u'\n' ? size - 1 : size - CutMargin);
        const Span wider = {early ? earlierStart(text, offset, window.start) : window.start,
                            late ? laterEnd(text, offset, window.end) : window.end};
        if (wider.start == window.start && wider.end == window.end)
            return item.start < 0 ? item : Span{window.start + item.start, window.start + item.end};
        window = wider;
    }
}

int pieceCount(const Span &line)
{
    return std::max(1, (line.end - line.start + LinePiece - 1) / LinePiece);
}

// Where piece `piece` of `line` starts (its end for the count).
int pieceStart(const PieceTree &text, const Span &line, int piece)
{
    if (piece <= 0)
        return line.start;
    if (piece >= pieceCount(line))
        return line.end;
    const int mark = line.start + piece * LinePiece;
    const QString before = text.text(mark - PieceSlack, PieceSlack);
    for (int i = PieceSlack - 1; i >= 0; --i) {
        if (before.at(i).isSpace())
            return mark - PieceSlack + i + 1;
    }
    return before.back().isHighSurrogate() ? mark - 1 : mark;
}

// The line, or piece of a long line, before, at or after the one that holds
// `offset`.
Span lineItem(const PieceTree &text, Side side, int offset)
{
    int line = text.lineAt(offset);
    Span span = lineSpan(text, line);
    int piece = std::min((offset - span.start) / LinePiece, pieceCount(span) - 1);
    if (piece + 1 < pieceCount(span) && offset >= pieceStart(text, span, piece + 1))
        ++piece;
    if (side == Side::Before && --piece < 0) {
        if (line == 0)
            return {};
        span = lineSpan(text, --line);
        piece = pieceCount(span) - 1;
    } else if (side == Side::After && ++piece == pieceCount(span)) {
        if (line + 1 == text.lineCount())
            return {};
        span = lineSpan(text, ++line);
        piece = 0;
    }
    return {pieceStart(text, span, piece), pieceStart(text, span, piece + 1)};
}

QString textNear(const TextModel &model, Side side, int offset, QAccessible::TextBoundaryType type,
                 int *startOffset, int *endOffset)
{
    const PieceTree &text = model.text();
    const int length = text.length();
    // As in Qt's own text boxes: -2 asks at the caret, -1 at the end.
    if (offset == -2)
        offset = model.caret();
    else if (offset == -1)
        offset = length;
    *startOffset = *endOffset = -1;
    const int first = side == Side::Before ? 1 : 0;
    const int last = side == Side::After ? length - 1 : length;
    if (length == 0 || offset < first || offset > last)
        return QString();
    Span item;
    switch (type) {
    case QAccessible::CharBoundary:
    case QAccessible::WordBoundary:
    case QAccessible::SentenceBoundary:
        item = findItem(text, side, type, offset);
        break;
    case QAccessible::LineBoundary:
    case QAccessible::ParagraphBoundary:
        item = lineItem(text, side, offset);
        break;
    case QAccessible::NoBoundary:
        // The whole text, which is what this asks for; nothing before or after it.
        if (side == Side::At)
            item = {0, length};
        break;
    }
    if (item.start < 0)
        return QString();
    *startOffset = item.start;
    *endOffset = item.end;
    return text.text(item.start, item.end - item.start);
}

QAccessibleInterface *createInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String("TextView")) {
        if (auto *view = qobject_cast<TextView *>(object))
            return new TextAccessible(view);
    }
    return nullptr;
}

} // namespace

TextAccessible::TextAccessible(TextView *view) : QAccessibleWidget(view, QAccessible::EditableText)
{
}

void TextAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(createInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

TextView *TextAccessible::view() const
{
    return static_cast<TextView *>(widget());
}

void *TextAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString TextAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return view()->model().text().text();
    return QAccessibleWidget::text(type);
}

QAccessible::State TextAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

void TextAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    const TextModel &model = view()->model();
    *startOffset = *endOffset = 0;
    if (selectionIndex == 0 && model.hasSelection()) {
        *startOffset = model.selectionStart();
        *endOffset = model.selectionEnd();
    }
}

int TextAccessible::selectionCount() const
{
    return view()->model().hasSelection() ? 1 : 0;
}

void TextAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void TextAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0) {
        TextModel &model = view()->model();
        model.setSelection(model.caret(), model.caret());
    }
}

void TextAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        view()->model().setSelection(endOffset, startOffset);
}

int TextAccessible::cursorPosition() const
{
    return view()->model().caret();
}

void TextAccessible::setCursorPosition(int position)
{
    view()->model().setSelection(position, position);
}

QString TextAccessible::text(int startOffset, int endOffset) const
{
    return view()->model().text().text(startOffset, endOffset - startOffset);
}

int TextAccessible::characterCount() const
{
    return view()->model().length();
}

QRect TextAccessible::characterRect(int offset) const
{
    const QRect rect = view()->caretRect(std::clamp(offset, 0, view()->model().length()));
    return QRect(view()->mapToGlobal(rect.topLeft()), rect.size());
}

int TextAccessible::offsetAtPoint(const QPoint &point) const
{
    return view()->positionAt(view()->mapFromGlobal(point));
}

void TextAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    view()->model().setSelection(endIndex, startIndex);
}

QString TextAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = offset;
    return QString();
}

QString TextAccessible::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                         int *startOffset, int *endOffset) const
{
    return textNear(view()->model(), Side::Before, offset, boundaryType, startOffset, endOffset);
}

QString TextAccessible::textAtOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                     int *startOffset, int *endOffset) const
{
    return textNear(view()->model(), Side::At, offset, boundaryType, startOffset, endOffset);
}

QString TextAccessible::textAfterOffset(int offset, QAccessible::TextBoundaryType boundaryType,
                                        int *startOffset, int *endOffset) const
{
    return textNear(view()->model(), Side::After, offset, boundaryType, startOffset, endOffset);
}
