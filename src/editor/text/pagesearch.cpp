#include "editor/text/pagesearch.h"

#include <QRegularExpression>
#include <QTimer>

#include <algorithm>

#include "editor/text/textmodel.h"

namespace {

using TextSearch::Match;
using TextSearch::Outcome;

// How long the interface waits for a search before it goes on in the
// background: a frame.
constexpr int FrameMilliseconds = 16;
// A search on a page (or selection) up to this long waits this long for the
// count that follows it, which is then shown with the match at once.
constexpr int SmallScope = 1 << 20;
constexpr int CountMilliseconds = 1;
// The most matches kept for marking them and saying which one is shown;
// past this they are only counted.
constexpr std::size_t MaxKept = std::size_t(1) << 22;
// How far back of the screen marks are looked for when the matches are not
// counted yet.
constexpr int MarkLookBack = 4096;

QString outcomeStatus(Outcome outcome)
{
    if (outcome == Outcome::Runaway)
        return PageSearch::tr("The expression backtracks too much to finish; the search was "
                              "stopped.");
    return PageSearch::tr("Search stopped");
}

bool before(const Match &a, const Match &b)
{
    return a.start < b.start || (a.start == b.start && a.length < b.length);
}

} // namespace

PageSearch::PageSearch(TextModel &model, QObject *parent)
    : QObject(parent), m_model(model), m_progress(new QTimer(this))
{
    m_progress->setInterval(100);
    connect(m_progress, &QTimer::timeout, this, &PageSearch::showProgress);
    connect(&m_model, &TextModel::changed, this, &PageSearch::textChanged);
}

PageSearch::~PageSearch() = default;

void PageSearch::setSettings(const Settings &settings)
{
    const bool newQuery = settings.pattern != m_settings.pattern ||
                          !(settings.options == m_settings.options) ||
                          settings.inSelection != m_settings.inSelection;
    if (settings.inSelection && !m_settings.inSelection) {
        m_selection = {m_model.selectionStart(), m_model.selectionEnd()};
        if (m_selection.start == m_selection.end)
            m_selection = {0, m_model.length()};
    }
    m_settings = settings;
    if (!newQuery)
        return;
    m_query = SearchQuery(settings.pattern, settings.options);
    forget();
    setStatus(m_query.error());
}

TextSearch::Scope PageSearch::scope() const
{
    return m_settings.inSelection ? m_selection : TextSearch::Scope{0, m_model.length()};
}

bool PageSearch::ready()
{
    // Every command's answer is a change of the status, even when it is the
    // same as the last one, so that it is heard again.
    setStatus(QString());
    if (m_query.isEmpty())
        return false;
    setStatus(m_query.error());
    return m_query.error().isEmpty();
}

bool PageSearch::counted() const
{
    return m_count.total >= 0 && m_count.root == m_model.text().root();
}

void PageSearch::findNext()
{
    find(false);
}

void PageSearch::findPrevious()
{
    find(true);
}

void PageSearch::find(bool backward)
{
    if (!ready()) {
        if (!m_query.isEmpty())
            emit nothingFound();
        return;
    }
    m_frame = QDeadlineTimer(FrameMilliseconds);
    const TextSearch::Scope in = scope();
    const Match shown = current();
    // After an empty match the search goes on past it, so that it always ends.
    const bool afterEmpty = shown.isValid() && shown.length == 0 &&
                            m_model.caret() == shown.start && !m_model.hasSelection();
    const int from = backward ? m_model.selectionStart() : m_model.selectionEnd();
    const bool wrap = m_settings.wrapAround;
    if (counted() && std::size_t(m_count.total) == m_count.kept.size()) {
        const std::vector<Match> &all = m_count.kept;
        Match found;
        if (backward) {
            auto it = std::lower_bound(all.begin(), all.end(), from,
                                       [](const Match &m, int at) { return m.start < at; });
            if (it != all.begin())
                found = *std::prev(it);
            else if (wrap && !all.empty())
                found = all.back();
        } else {
            auto it = std::lower_bound(all.begin(), all.end(), from,
                                       [](const Match &m, int at) { return m.start < at; });
            if (it != all.end() && afterEmpty && *it == shown)
                ++it;
            if (it != all.end())
                found = *it;
            else if (wrap && !all.empty())
                found = all.front();
        }
        showFound(++m_findTicket, m_model.text().root(), {found, Outcome::Done});
        return;
    }
    const int ticket = ++m_findTicket;
    const std::shared_ptr<const PieceTree> text = m_model.snapshot();
    const QString pattern = m_settings.pattern;
    const SearchQuery::Options options = m_settings.options;
    const auto result = std::make_shared<Found>();
    m_finding = true;
    m_finder.start([this, ticket, text, result, pattern, options, in, from, afterEmpty, backward,
                    wrap](const TextSearch::Control &control) {
        // A query of the thread's own: nothing compiled is shared between threads.
        const SearchQuery query(pattern, options);
        Found found;
        if (backward) {
            found.match = TextSearch::findBackward(*text, query, in, from, control, &found.outcome);
            if (!found.match.isValid() && wrap && found.outcome == Outcome::Done)
                found.match =
                    TextSearch::findBackward(*text, query, in, in.end + 1, control, &found.outcome);
        } else {
            found.match = TextSearch::findForward(*text, query, in, {from, afterEmpty}, control,
                                                  &found.outcome);
            if (!found.match.isValid() && wrap && found.outcome == Outcome::Done)
                found.match = TextSearch::findForward(*text, query, in, {in.start, false, from + 1},
                                                      control, &found.outcome);
        }
        *result = found;
        QMetaObject::invokeMethod(
            this, [this, ticket, text, result] { showFound(ticket, text->root(), *result); },
            Qt::QueuedConnection);
    });
    if (m_finder.waitFor(int(m_frame.remainingTime())))
        showFound(ticket, text->root(), *result);
    else
        showProgress();
}

void PageSearch::showFound(int ticket, const PieceTree::Root &root, const Found &found)
{
    // An older search, or one made on a text that has changed since, shows nothing.
    if (ticket != m_findTicket || root != m_model.text().root())
        return;
    ++m_findTicket;
    m_finding = false;
    showProgress();
    if (found.outcome != Outcome::Done) {
        setStatus(outcomeStatus(found.outcome));
        emit nothingFound();
        return;
    }
    if (!found.match.isValid()) {
        m_current = Match();
        setStatus(m_settings.wrapAround ? tr("No matches") : tr("No more matches"));
        emit nothingFound();
        return;
    }
    select(found.match);
}

void PageSearch::select(const Match &match)
{
    m_current = match;
    m_currentRoot = m_model.text().root();
    m_model.setSelection(match.end(), match.start);
    m_marksShown = true;
    emit marksChanged();
    if (counted())
        setStatus(countStatus());
    else
        startCount();
}

void PageSearch::startCount()
{
    if (m_counting)
        return showProgress();
    const int ticket = ++m_countTicket;
    const std::shared_ptr<const PieceTree> text = m_model.snapshot();
    const QString pattern = m_settings.pattern;
    const SearchQuery::Options options = m_settings.options;
    const TextSearch::Scope in = scope();
    const auto count = std::make_shared<Count>();
    count->root = text->root();
    m_counting = true;
    m_counter.start(
        [this, ticket, text, count, pattern, options, in](const TextSearch::Control &control) {
            const SearchQuery query(pattern, options);
            int total = 0;
            const Outcome outcome = TextSearch::scan(
                *text, query, in, {in.start},
                [&count, &total](const Match &match, const QRegularExpressionMatch *) {
                    if (count->kept.size() < MaxKept)
                        count->kept.push_back(match);
                    ++total;
                    return true;
                },
                control);
            count->total = outcome == Outcome::Done ? total : -1;
            QMetaObject::invokeMethod(
                this, [this, ticket, count] { showCount(ticket, count); }, Qt::QueuedConnection);
        });
    // A small page is counted in no time: its count shows with the match.
    const bool small = in.end - in.start <= SmallScope;
    if (small &&
        m_counter.waitFor(int(std::min<qint64>(CountMilliseconds, m_frame.remainingTime()))))
        showCount(ticket, count);
    else
        showProgress();
}

void PageSearch::showCount(int ticket, const std::shared_ptr<Count> &count)
{
    if (ticket != m_countTicket)
        return;
    ++m_countTicket;
    m_counting = false;
    showProgress();
    if (count->total < 0 || count->root != m_model.text().root())
        return;
    m_count = std::move(*count);
    setStatus(countStatus());
    emit marksChanged();
}

QString PageSearch::countStatus() const
{
    const int total = m_count.total;
    if (total == 0)
        return tr("No matches");
    const Match shown = current();
    const auto it = std::lower_bound(m_count.kept.begin(), m_count.kept.end(), shown, before);
    if (shown.isValid() && it != m_count.kept.end() && *it == shown) {
        const int index = int(it - m_count.kept.begin()) + 1;
        return total == 1 ? tr("1 of 1 match") : tr("%L1 of %L2 matches").arg(index).arg(total);
    }
    return total == 1 ? tr("1 match") : tr("%L1 matches").arg(total);
}

void PageSearch::showProgress()
{
    const TextSearch::Scope in = scope();
    const auto percent = [&in](int reached) {
        const qint64 size = std::max(1, in.end - in.start);
        return int(std::clamp<qint64>((qint64(reached) - in.start) * 100 / size, 0, 100));
    };
    if (m_finding)
        setStatus(tr("Searching\u2026 %1 %").arg(percent(m_finder.reached())));
    else if (m_counting && current().isValid())
        setStatus(tr("Counting matches\u2026 %1 %").arg(percent(m_counter.reached())));
    if (m_finding || m_counting)
        m_progress->start();
    else
        m_progress->stop();
}

void PageSearch::replace()
{
    if (!ready())
        return;
    const Match shown = current();
    if (!shown.isValid() || m_model.selectionStart() != shown.start ||
        m_model.selectionEnd() != shown.end())
        return findNext();
    QString with = m_settings.replacement;
    if (m_query.isRegular()) {
        // The groups of the match shown, found again where it stands.
        TextSearch::scan(m_model.text(), m_query, scope(), {shown.start},
                         [&](const Match &match, const QRegularExpressionMatch *groups) {
                             if (match == shown)
                                 with = m_query.replacementFor(m_settings.replacement, *groups);
                             return false;
                         });
    }
    m_model.replaceSelection(with);
    // An empty match replaced by nothing leaves the caret where it was: the
    // next search goes on past it.
    if (shown.length == 0 && with.isEmpty()) {
        m_current = {m_model.caret(), 0};
        m_currentRoot = m_model.text().root();
    }
    findNext();
}

void PageSearch::replaceAll()
{
    if (!ready())
        return;
    const int ticket = ++m_findTicket;
    const std::shared_ptr<const PieceTree> text = m_model.snapshot();
    const QString pattern = m_settings.pattern;
    const SearchQuery::Options options = m_settings.options;
    const QString replacement = m_settings.replacement;
    const TextSearch::Scope in = scope();
    const std::vector<int> selection{m_model.caret(), m_model.anchor()};
    const auto result = std::make_shared<Replaced>();
    m_frame = QDeadlineTimer(FrameMilliseconds);
    m_finding = true;
    m_finder.start([this, ticket, text, result, pattern, options, replacement, in,
                    selection](const TextSearch::Control &control) {
        const SearchQuery query(pattern, options);
        PieceTree::Builder builder(*text, selection);
        result->outcome = TextSearch::scan(
            *text, query, in, {in.start},
            [&](const Match &match, const QRegularExpressionMatch *groups) {
                builder.replace(match.start, match.length,
                                groups ? query.replacementFor(replacement, *groups) : replacement);
                ++result->count;
                return true;
            },
            control);
        if (result->outcome == Outcome::Done)
            result->edited = builder.finish();
        QMetaObject::invokeMethod(
            this, [this, ticket, result] { showReplaced(ticket, *result); }, Qt::QueuedConnection);
    });
    if (m_finder.waitFor(int(m_frame.remainingTime())))
        showReplaced(ticket, *result);
    else
        showProgress();
}

void PageSearch::showReplaced(int ticket, const Replaced &replaced)
{
    if (ticket != m_findTicket)
        return;
    ++m_findTicket;
    m_finding = false;
    showProgress();
    if (replaced.outcome != Outcome::Done)
        return setStatus(outcomeStatus(replaced.outcome));
    if (replaced.count == 0)
        return setStatus(tr("No matches"));
    // Dropped when the text has changed since it was searched.
    if (!m_model.adopt(replaced.edited))
        return;
    setStatus(tr("Replaced %L1").arg(replaced.count));
}

void PageSearch::cancel()
{
    const bool running = m_finding || m_counting;
    forget();
    if (running)
        setStatus(tr("Search stopped"));
}

bool PageSearch::isBusy() const
{
    return m_finding || m_counting;
}

void PageSearch::forget()
{
    m_finder.cancel();
    m_counter.cancel();
    ++m_findTicket;
    ++m_countTicket;
    m_finding = false;
    m_counting = false;
    m_progress->stop();
    m_count = Count();
    m_current = Match();
    hideMarks();
}

void PageSearch::textChanged(int start, int removed, int added)
{
    // The part searched in the selection keeps to the same text.
    const auto moved = [&](int position, bool isEnd) {
        if (position < start || (position == start && !isEnd))
            return position;
        if (position >= start + removed)
            return position + added - removed;
        return isEnd ? start + added : start;
    };
    m_selection = {moved(m_selection.start, false), moved(m_selection.end, true)};
    const bool running = m_finding;
    forget();
    if (running)
        setStatus(tr("Search stopped: the page changed"));
}

void PageSearch::hideMarks()
{
    if (!m_marksShown)
        return;
    m_marksShown = false;
    emit marksChanged();
}

Match PageSearch::current() const
{
    return m_currentRoot == m_model.text().root() ? m_current : Match();
}

std::vector<Match> PageSearch::matchesIn(int from, int to) const
{
    if (!m_marksShown || m_query.isEmpty() || !m_query.error().isEmpty())
        return {};
    std::vector<Match> found;
    if (counted() && std::size_t(m_count.total) == m_count.kept.size()) {
        const std::vector<Match> &all = m_count.kept;
        // The first that ends after `from`: matches never overlap, so their ends rise too.
        auto it = std::lower_bound(all.begin(), all.end(), from,
                                   [](const Match &m, int at) { return m.end() <= at; });
        for (; it != all.end() && it->start < to; ++it)
            found.push_back(*it);
        return found;
    }
    // Not counted yet: the matches near the screen, looked for from a little before it.
    const TextSearch::Scope in = scope();
    TextSearch::scan(m_model.text(), m_query, in,
                     {std::max(in.start, from - MarkLookBack), false, to},
                     [&found, from](const Match &match, const QRegularExpressionMatch *) {
                         if (match.end() > from)
                             found.push_back(match);
                         return true;
                     });
    return found;
}

void PageSearch::setStatus(const QString &status)
{
    if (status == m_status)
        return;
    m_status = status;
    emit statusChanged(status);
}
