#include "editor/text/textsearch.h"

#include <QRegularExpression>
#include <QTextBoundaryFinder>

#include <algorithm>

#include "editor/text/piecetree.h"
#include "editor/text/searchquery.h"

namespace TextSearch {

namespace {

// An expression sees this much of the text before where it starts, for its
// look-behinds, ^ and \b.
constexpr int Context = 1024;
// It is matched on windows of the text: small ones first, so that the next
// match nearby comes at once, growing to this.
constexpr int FirstWindow = 1 << 14;
constexpr int LargestWindow = 1 << 20;
// A window reaches this far past the matches it takes; a match attempt that
// runs to its end is tried again on one four times as long, up to this
// length, past which the text is taken to end.
constexpr int LookAhead = 1 << 16;
constexpr int LongestMatch = 1 << 24;
// Word boundaries are looked for within a line, this far either side.
constexpr int WordWindow = 256;
// Matches between looks at the cancel flag.
constexpr int CheckEvery = 1024;

bool cancelled(const Control &control)
{
    return control.cancel && control.cancel->load(std::memory_order_relaxed);
}

void reach(const Control &control, int position)
{
    if (control.reached)
        control.reached->store(position, std::memory_order_relaxed);
}

bool isAsciiWordCharacter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

// Characters that always part a word from an ASCII letter or digit beside it.
bool isAsciiWordBreak(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' ||
           (c < 128 && c > 0 &&
            std::char_traits<char>::find("!#$%&()*+-/<=>?@[\\]^`{|}~", 25, char(c)) != nullptr);
}

bool isWholeWord(const PieceTree &text, const Match &match)
{
    return isWordBoundary(text, match.start) && isWordBoundary(text, match.end());
}

bool startsPair(const PieceTree &text, int position)
{
    return text.at(position).isHighSurrogate() && text.at(position + 1).isLowSurrogate();
}

// Where a cut at `position` falls, moved on past a surrogate pair it would split.
int cutAt(const PieceTree &text, int position, const Scope &scope)
{
    if (position > scope.start && position < scope.end && startsPair(text, position - 1))
        return position + 1;
    return position;
}

// An expression is matched without checking its text, which must then hold
// no lone surrogate: any is read as U+FFFD, one for one.
bool mendSurrogates(QStringView text, QString &mended)
{
    const char16_t *data = text.utf16();
    const qsizetype size = text.size();
    qsizetype i = 0;
    const auto lone = [&](qsizetype at) {
        if (QChar::isHighSurrogate(data[at]))
            return at + 1 == size || !QChar::isLowSurrogate(data[at + 1]);
        return at == 0 || !QChar::isHighSurrogate(data[at - 1]);
    };
    for (; i < size; ++i) {
        if ((data[i] & 0xF800) == 0xD800 && lone(i))
            break;
    }
    if (i == size)
        return false;
    mended = text.toString();
    for (; i < size; ++i) {
        if ((data[i] & 0xF800) == 0xD800 && lone(i))
            mended[i] = QChar::ReplacementCharacter;
    }
    return true;
}

Outcome scanLiteral(const PieceTree &text, const SearchQuery &query, Scope scope, Start start,
                    const Found &found, const Control &control)
{
    const QStringMatcher &matcher = query.matcher();
    const int size = int(query.pattern().size());
    const bool wholeWords = query.options().wholeWords;
    // A match must start before `until`, so the text past this is not needed.
    const int end = int(std::min<qint64>(scope.end, qint64(start.until) + size - 1));
    int next = start.from; // where the next match may start
    int checks = 0;
    enum class Offer { NotWhole, Taken, Stop };
    const auto offer = [&](qsizetype at) {
        const Match match{int(at), size};
        if (wholeWords && !isWholeWord(text, match))
            return Offer::NotWhole;
        if (!found(match, nullptr))
            return Offer::Stop;
        next = match.end();
        return Offer::Taken;
    };
    // The end of the text searched so far, from `next` on, where a match
    // that goes on in the next piece may start.
    QString seam;
    int seamStart = start.from;
    for (int position = start.from; position < end;) {
        if (cancelled(control))
            return Outcome::Cancelled;
        int pieceStart = 0;
        const QStringView piece = text.pieceAt(position, &pieceStart);
        // A long piece is searched a window at a time, so that a cancel is heard soon.
        const int chunkEnd =
            std::min({end, pieceStart + int(piece.size()), position + LargestWindow});
        const QStringView chunk = piece.mid(position - pieceStart, chunkEnd - position);
        if (!seam.isEmpty()) {
            QString joined = seam;
            joined.append(chunk.left(size - 1));
            for (qsizetype i = matcher.indexIn(joined, std::max(0, next - seamStart));
                 i >= 0 && i < seam.size();) {
                const Offer taken = offer(seamStart + i);
                if (taken == Offer::Stop)
                    return Outcome::Done;
                i = matcher.indexIn(joined, taken == Offer::Taken ? next - seamStart : i + 1);
            }
        }
        for (qsizetype i = matcher.indexIn(chunk, std::max(0, next - position)); i >= 0;) {
            const Offer taken = offer(position + i);
            if (taken == Offer::Stop)
                return Outcome::Done;
            if (++checks % CheckEvery == 0 && cancelled(control))
                return Outcome::Cancelled;
            i = matcher.indexIn(chunk, taken == Offer::Taken ? next - position : i + 1);
        }
        const int keepFrom = std::max(next, chunkEnd - (size - 1));
        if (keepFrom >= chunkEnd)
            seam.clear();
        else if (keepFrom >= position)
            seam = chunk.mid(keepFrom - position).toString();
        else
            seam = seam.mid(keepFrom - seamStart).append(chunk);
        seamStart = keepFrom;
        position = chunkEnd;
        reach(control, position);
    }
    return Outcome::Done;
}

// A window of the text as an expression sees it: [start, end) of the text.
struct Window
{
    int start = 0;
    int end = 0;
    QStringView view;
    QString copy; // when the window is not one stored piece as it stands
};

void readWindow(const PieceTree &text, Window &window)
{
    int pieceStart = 0;
    const QStringView piece = text.pieceAt(window.start, &pieceStart);
    if (window.end <= pieceStart + piece.size()) {
        window.view = piece.mid(window.start - pieceStart, window.end - window.start);
    } else {
        window.copy.truncate(0);
        window.copy.reserve(window.end - window.start);
        text.read(window.start, window.end - window.start,
                  [&window](QStringView chunk) { window.copy.append(chunk); });
        window.view = window.copy;
    }
    QString mended;
    if (mendSurrogates(window.view, mended)) {
        window.copy = mended;
        window.view = window.copy;
    }
}

// Where a match attempt starts in a window: an offset, and whether an empty
// match stood there.
struct Attempt
{
    qsizetype offset = 0;
    bool afterEmpty = false;
};

// The next match from `attempt` on, as globalMatch finds it: after an empty
// match, one that is not empty there, else the next one a character on.
// `attempt` moves on to where the match was looked for.
QRegularExpressionMatch matchFrom(const SearchQuery &query, QStringView view, Attempt &attempt,
                                  QRegularExpression::MatchType type)
{
    constexpr auto Unchecked = QRegularExpression::DontCheckSubjectStringMatchOption;
    if (attempt.afterEmpty) {
        QRegularExpressionMatch match = query.notEmptyAtStart().match(
            view, attempt.offset, type, Unchecked | QRegularExpression::AnchorAtOffsetMatchOption);
        if (!match.isValid() || match.hasMatch() || match.hasPartialMatch())
            return match;
        attempt.afterEmpty = false;
        ++attempt.offset;
        if (attempt.offset < view.size() && view.at(attempt.offset).isLowSurrogate())
            ++attempt.offset;
        if (attempt.offset > view.size())
            return match; // past the end: no match, and no error
    }
    return query.expression().match(view, attempt.offset, type, Unchecked);
}

Outcome scanExpression(const PieceTree &text, const SearchQuery &query, Scope scope, Start start,
                       const Found &found, const Control &control)
{
    const bool wholeWords = query.options().wholeWords;
    // An empty match may stand at the very end.
    const int until = std::min(start.until, scope.end + 1);
    int position = start.from;
    bool afterEmpty = start.afterEmpty;
    int size = FirstWindow;
    int lookAhead = LookAhead;
    int checks = 0;
    Window window;
    while (position < until) {
        if (cancelled(control))
            return Outcome::Cancelled;
        reach(control, position);
        const int takeEnd =
            cutAt(text, int(std::min<qint64>(until, qint64(position) + size)), scope);
        window.start = std::max(scope.start, position - Context);
        window.start -= window.start > scope.start && startsPair(text, window.start - 1) ? 1 : 0;
        window.end =
            cutAt(text, int(std::min<qint64>(scope.end, qint64(takeEnd) + lookAhead)), scope);
        readWindow(text, window);
        // Where the window is cut short of the text, a match attempt that
        // reaches its end may need more: it is tried again on more text.
        const bool cut = window.end < scope.end;
        const bool longest = lookAhead >= LongestMatch;
        const auto type = cut && !longest ? QRegularExpression::PartialPreferFirstMatch
                                          : QRegularExpression::NormalMatch;
        Attempt attempt{position - window.start, afterEmpty};
        bool more = false;
        for (;;) {
            const Attempt from = attempt;
            const QRegularExpressionMatch match = matchFrom(query, window.view, attempt, type);
            if (!match.isValid() && attempt.offset <= window.view.size())
                return Outcome::Runaway;
            const Match hit{window.start + int(match.capturedStart()), int(match.capturedLength())};
            if (!match.hasMatch() && !match.hasPartialMatch()) {
                // Nothing more in this window: the next one starts where it ends.
                if (!cut || takeEnd >= until)
                    return Outcome::Done;
                position = std::max(takeEnd, window.start + int(attempt.offset));
                afterEmpty = false;
                break;
            }
            if (hit.start >= until)
                return Outcome::Done;
            if (hit.start >= takeEnd && cut) {
                // The first match of the next window, found again there.
                position = hit.start;
                afterEmpty = false;
                break;
            }
            if (match.hasPartialMatch()) {
                // It may go on past the window: again, from where it was looked for, on more text.
                position = window.start + int(from.offset);
                afterEmpty = from.afterEmpty;
                more = true;
                break;
            }
            if (!wholeWords || isWholeWord(text, hit)) {
                if (!found(hit, &match))
                    return Outcome::Done;
            }
            attempt = {hit.end() - window.start, hit.length == 0};
            if (++checks % CheckEvery == 0 && cancelled(control))
                return Outcome::Cancelled;
        }
        lookAhead = more ? lookAhead * 4 : LookAhead;
        size = more ? size : std::min(size * 4, LargestWindow);
    }
    return Outcome::Done;
}

} // namespace

bool isWordBoundary(const PieceTree &text, int position)
{
    if (position <= 0 || position >= text.length())
        return true;
    const char16_t before = text.at(position - 1).unicode();
    const char16_t after = text.at(position).unicode();
    if (before == u'\n' || after == u'\n')
        return before != u'\r'; // CR LF is one break, never parted

    const bool wordBefore = isAsciiWordCharacter(before);
    const bool wordAfter = isAsciiWordCharacter(after);
    if (wordBefore && wordAfter)
        return false;
    if ((wordBefore && isAsciiWordBreak(after)) || (wordAfter && isAsciiWordBreak(before)))
        return true;
    const int line = text.lineAt(position);
    const int start = std::max(text.lineStart(line), position - WordWindow);
    const int end = std::min(text.lineEnd(line), position + WordWindow);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text.text(start, end - start));
    finder.setPosition(position - start);
    return finder.isAtBoundary();
}

Outcome scan(const PieceTree &text, const SearchQuery &query, Scope scope, Start start,
             const Found &found, Control control)
{
    scope.start = std::clamp(scope.start, 0, text.length());
    scope.end = std::clamp(scope.end, scope.start, text.length());
    start.from = std::clamp(start.from, scope.start, scope.end);
    if (query.isEmpty() || !query.error().isEmpty())
        return Outcome::Done;
    if (query.isRegular())
        return scanExpression(text, query, scope, start, found, control);
    return scanLiteral(text, query, scope, start, found, control);
}

Match findForward(const PieceTree &text, const SearchQuery &query, Scope scope, Start start,
                  Control control, Outcome *outcome)
{
    Match first;
    const Outcome result = scan(
        text, query, scope, start,
        [&first](const Match &match, const QRegularExpressionMatch *) {
            first = match;
            return false;
        },
        control);
    if (outcome)
        *outcome = result;
    return first;
}

Match findBackward(const PieceTree &text, const SearchQuery &query, Scope scope, int before,
                   Control control, Outcome *outcome)
{
    // Windows going back from `before`, each searched forward for its last match.
    int end = std::min(before, scope.end);
    for (int size = FirstWindow;; size = std::min(size * 4, LargestWindow)) {
        const int from = std::max(scope.start, end - size);
        Match last;
        const Outcome result = scan(
            text, query, scope, {from, false, end},
            [&last](const Match &match, const QRegularExpressionMatch *) {
                last = match;
                return true;
            },
            control);
        if (last.isValid() || result != Outcome::Done || from <= scope.start) {
            if (outcome)
                *outcome = result;
            return last;
        }
        end = from;
    }
}

std::vector<Match> findAll(const PieceTree &text, const SearchQuery &query, Scope scope,
                           Control control, Outcome *outcome)
{
    std::vector<Match> all;
    const Outcome result = scan(
        text, query, scope, {scope.start},
        [&all](const Match &match, const QRegularExpressionMatch *) {
            all.push_back(match);
            return true;
        },
        control);
    if (outcome)
        *outcome = result;
    return all;
}

} // namespace TextSearch
