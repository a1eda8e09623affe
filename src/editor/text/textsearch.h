#pragma once

#include <QString>

#include <atomic>
#include <functional>
#include <limits>
#include <vector>

class PieceTree;
class QRegularExpressionMatch;
class SearchQuery;

// Finding a query in a text held in pieces, without ever flattening it: a
// literal is looked for in each piece and across the seams between them, an
// expression on windows of the text that overlap. The functions read a tree
// that no one changes while they run: the model's own on the interface thread,
// or a snapshot of it on another.
namespace TextSearch {

struct Match
{
    int start = -1;
    int length = 0;
    int end() const { return start + length; }
    bool isValid() const { return start >= 0; }
    bool operator==(const Match &o) const { return start == o.start && length == o.length; }
};

// The part of the text searched, taken as the whole text: an expression's ^,
// $ and look-arounds see nothing beyond it.
struct Scope
{
    int start = 0;
    int end = 0;
};

enum class Outcome {
    Done,      // searched to the end of the scope, or stopped by the caller
    Cancelled, // `cancel` was set
    Runaway,   // the expression backtracked past the engine's limit
};

// How a scan reports: the position it has reached, for progress, and a flag
// that stops it. Both may be shared with another thread.
struct Control
{
    const std::atomic_bool *cancel = nullptr;
    std::atomic_int *reached = nullptr;
};

// Where a scan starts: at `from`, or, after an empty match there, where
// QRegularExpression::globalMatch goes on after one. Only matches that start
// before `until` are wanted.
struct Start
{
    int from = 0;
    bool afterEmpty = false;
    int until = std::numeric_limits<int>::max();
};

// Calls `found` with each match in `scope` from `start` on, left to right
// and not overlapping, as QString::indexOf steps and as
// QRegularExpression::globalMatch does over the scope's text; `found`
// returns false to stop. A whole word starts and ends where Unicode's word
// boundaries fall. `found` also receives the expression's match, for its
// groups; null for a literal.
using Found = std::function<bool(const Match &, const QRegularExpressionMatch *)>;
Outcome scan(const PieceTree &text, const SearchQuery &query, Scope scope, Start start,
             const Found &found, Control control = {});

// The first match from `start`, within `scope`.
Match findForward(const PieceTree &text, const SearchQuery &query, Scope scope, Start start,
                  Control control = {}, Outcome *outcome = nullptr);
// The last match that starts before `before`, within `scope`.
Match findBackward(const PieceTree &text, const SearchQuery &query, Scope scope, int before,
                   Control control = {}, Outcome *outcome = nullptr);

// Whether a whole word may start or end at `position`.
bool isWordBoundary(const PieceTree &text, int position);

// Every match in `scope`, in order.
std::vector<Match> findAll(const PieceTree &text, const SearchQuery &query, Scope scope,
                           Control control = {}, Outcome *outcome = nullptr);

} // namespace TextSearch
