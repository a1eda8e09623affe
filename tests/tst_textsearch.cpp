#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>
#include <QTextBoundaryFinder>

#include "editor/text/piecetree.h"
#include "editor/text/searchquery.h"
#include "editor/text/textsearch.h"

using TextSearch::Match;

namespace {

// Letters with and without accents, a combining mark, a surrogate pair, CR,
// a paragraph separator, tags and the marks that sit inside words.
const QStringList Alphabet = {
    "a",      "b", "A", "B", "\u00e9", "\u00c9", "e\u0301", "\U0001F600", "\r", "\n",
    "\u2029", " ", "<", ">", "'",      "1",      "_",       "ab",         "ba",
};
const QStringList Tokens = {
    "a",     "b",          "\u00e9", "\\w+",   "\\b", "^",  "$",     "a*",
    "(a|b)", "[ab]+",      ".",      "\\n",    "\\s", "x?", "(?=b)", "(?<=a)",
    "\\d",   "\U0001F600", "\\r",    "\u2029", "(",   ".*", "B",     "[^a]",
};

QString pick(QRandomGenerator &random, const QStringList &from, int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += from.at(random.bounded(int(from.size())));
    return text;
}

// The same text as `text`, held in many pieces of many buffers: typed in
// random pieces at random places, as an edited page is.
PieceTree piecesOf(const QString &text, QRandomGenerator &random)
{
    PieceTree tree(1 + random.bounded(64));
    QString typed;
    // Pieces of the text, each typed where it belongs among those typed so far.
    std::vector<std::pair<int, int>> pieces; // start and length in `text`
    for (int at = 0; at < text.size();) {
        // A few hundred pieces at most, so that a long text is quick to build.
        const int longest = std::max(40, int(text.size() / 300));
        int length = std::min(int(text.size()) - at, 1 + random.bounded(longest));
        if (text.at(at + length - 1).isHighSurrogate() && at + length < text.size())
            ++length;
        pieces.push_back({at, length});
        at += length;
    }
    std::vector<bool> placed(pieces.size());
    for (std::size_t n = 0; n < pieces.size(); ++n) {
        std::size_t k = random.bounded(int(pieces.size()));
        while (placed[k])
            k = (k + 1) % pieces.size();
        placed[k] = true;
        int offset = 0;
        for (std::size_t j = 0; j < k; ++j)
            offset += placed[j] ? pieces[j].second : 0;
        tree.insert(offset, QStringView(text).mid(pieces[k].first, pieces[k].second));
    }
    return tree;
}

bool boundary(const QString &text, qsizetype position)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
    finder.setPosition(position);
    return position == 0 || position == text.size() || finder.isAtBoundary();
}

// Every match of [from, to) of the text as a flat QString, from `at` on,
// found with Qt's own calls.
std::vector<Match> oracle(const QString &text, const SearchQuery &query, int from, int to,
                          int at = -1)
{
    at = at < 0 ? from : at;
    std::vector<Match> all;
    const bool whole = query.options().wholeWords;
    const auto wholeAt = [&](qsizetype start, qsizetype length) {
        return !whole || (boundary(text, start) && boundary(text, start + length));
    };
    if (query.isRegular()) {
        const QString subject = text.mid(from, to - from);
        auto it = query.expression().globalMatch(subject, at - from);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            if (wholeAt(from + m.capturedStart(), m.capturedLength()))
                all.push_back({from + int(m.capturedStart()), int(m.capturedLength())});
        }
        return all;
    }
    const Qt::CaseSensitivity cs =
        query.options().matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const int size = int(query.pattern().size());
    for (qsizetype i = text.indexOf(query.pattern(), at, cs); i >= 0 && i + size <= to;
         i = text.indexOf(query.pattern(), i, cs)) {
        if (wholeAt(i, size)) {
            all.push_back({int(i), size});
            i += size;
        } else {
            ++i;
        }
    }
    return all;
}

QString replacedByQt(const QString &text, const SearchQuery &query, const QString &replacement,
                     int from, int to)
{
    QString middle = text.mid(from, to - from);
    if (query.isRegular()) {
        // Qt's own replace knows no \0: the whole match becomes group 1.
        // A group the expression does not have stands for nothing.
        QString shifted = replacement;
        if (query.expression().captureCount() < 1)
            shifted.remove(QStringLiteral("\\1"));
        for (int n = 1; n >= 0; --n)
            shifted.replace(QStringLiteral("\\%1").arg(n), QStringLiteral("\\%1").arg(n + 1));
        const QRegularExpression outer("(" + query.pattern() + ")",
                                       query.expression().patternOptions());
        middle.replace(outer, shifted);
    } else {
        middle.replace(query.pattern(), replacement,
                       query.options().matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
    }
    return text.left(from) + middle + text.mid(to);
}

QString describe(const std::vector<Match> &matches)
{
    QStringList parts;
    for (const Match &m : matches)
        parts << QStringLiteral("%1+%2").arg(m.start).arg(m.length);
    return parts.join(QLatin1Char(' '));
}

} // namespace

class TestTextSearch : public QObject
{
    Q_OBJECT

private slots:
    void findsAsFlatText_data();
    void findsAsFlatText();
    void windowsOfLongText_data();
    void windowsOfLongText();
    void replacesAsFlatText();
    void runawayExpressionIsStopped();
    void cancelStopsAScan();
};

void TestTextSearch::findsAsFlatText_data()
{
    QTest::addColumn<bool>("regular");
    QTest::newRow("literal") << false;
    QTest::newRow("expression") << true;
}

// Random texts in random pieces, random queries with every option: every
// match, the first from a place, the last before one and the one after an
// empty match agree with Qt's own search over a flat copy.
void TestTextSearch::findsAsFlatText()
{
    QFETCH(bool, regular);
    for (quint32 seed = 1; seed <= 400; ++seed) {
        QRandomGenerator random(seed);
        const QString text = pick(random, Alphabet, random.bounded(200));
        const PieceTree tree = piecesOf(text, random);
        QCOMPARE(tree.text(), text);
        SearchQuery::Options options;
        options.matchCase = random.bounded(2);
        options.wholeWords = random.bounded(3) == 0;
        options.regularExpression = regular;
        const QString pattern = regular ? pick(random, Tokens, 1 + random.bounded(3))
                                        : pick(random, Alphabet, 1 + random.bounded(2));
        const SearchQuery query(pattern, options);
        if (!query.error().isEmpty())
            continue;
        // In the page, or in a selection that is taken as the whole text.
        int from = 0;
        int to = int(text.size());
        if (random.bounded(3) == 0) {
            from = random.bounded(to + 1);
            to = from + random.bounded(to - from + 1);
            // A selection holds whole characters.
            from -= from > 0 && from < text.size() && text.at(from).isLowSurrogate() ? 1 : 0;
            to -= to > from && text.at(to - 1).isHighSurrogate() ? 1 : 0;
        }
        const auto context = [&] {
            return QStringLiteral("seed %1, pattern %2, scope %3-%4")
                .arg(seed)
                .arg(pattern)
                .arg(from)
                .arg(to)
                .toUtf8();
        };
        const std::vector<Match> expected = oracle(text, query, from, to);
        const std::vector<Match> found = TextSearch::findAll(tree, query, {from, to});
        QVERIFY2(found == expected, context() + text.toUtf8().toPercentEncoding() + "\n  got " +
                                        describe(found).toUtf8() + "\n want " +
                                        describe(expected).toUtf8());

        int at = from + random.bounded(to - from + 1);
        at -= at > from && at < text.size() && text.at(at).isLowSurrogate()
                  ? 1
                  : 0; // never inside a pair
        const std::vector<Match> tail = oracle(text, query, from, to, at);
        const Match next = TextSearch::findForward(tree, query, {from, to}, {at});
        QVERIFY2(next == (tail.empty() ? Match() : tail.front()),
                 context() + " at " + QByteArray::number(at) + " got " + describe({next}).toUtf8() +
                     " want " + describe(tail).toUtf8() + " text " +
                     text.toUtf8().toPercentEncoding());

        Match before;
        for (const Match &m : expected) {
            if (m.start < at)
                before = m;
        }
        QCOMPARE(TextSearch::findBackward(tree, query, {from, to}, at), before);

        // After each empty match, the scan goes on to the next one in the list.
        for (std::size_t k = 0; k < expected.size(); ++k) {
            if (expected[k].length != 0)
                continue;
            const Match next =
                TextSearch::findForward(tree, query, {from, to}, {expected[k].start, true});
            QVERIFY2(next == (k + 1 < expected.size() ? expected[k + 1] : Match()), context());
        }
    }
}

void TestTextSearch::windowsOfLongText_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("regular");
    QTest::newRow("literal across pieces") << "abab" << false;
    QTest::newRow("line ends") << "b$" << true;
    QTest::newRow("across lines") << "a\\nb" << true;
    QTest::newRow("greedy to line end") << "a.*" << true;
    QTest::newRow("empty matches") << "x*" << true;
    QTest::newRow("longer than a window") << "<[^>]*>" << true;
    QTest::newRow("look-behind at a seam") << "(?<=b)a" << true;
}

// Texts far longer than the windows an expression is matched on, with
// lines and a tag far longer than a window: the same matches as Qt's.
void TestTextSearch::windowsOfLongText()
{
    QFETCH(QString, pattern);
    QFETCH(bool, regular);
    QRandomGenerator random(7);
    QString text;
    while (text.size() < 300000) {
        text += pick(random, {"a", "b", "\n", "ab", "\U0001F600", "x"}, 50);
        if (random.bounded(100) == 0)
            text += QString(random.bounded(200000), QLatin1Char('a'));
    }
    text += "<" + QString(150000, QLatin1Char('q')) + ">";
    const PieceTree tree = piecesOf(text, random);
    SearchQuery::Options options;
    options.matchCase = true;
    options.regularExpression = regular;
    const SearchQuery query(pattern, options);
    const std::vector<Match> expected = oracle(text, query, 0, int(text.size()));
    const std::vector<Match> found = TextSearch::findAll(tree, query, {0, int(text.size())});
    QCOMPARE(found.size(), expected.size());
    QVERIFY(found == expected);
}

// Replace All builds its text in one go from the matches: the same text as
// QString::replace, groups and all, and the tree it came from unchanged.
void TestTextSearch::replacesAsFlatText()
{
    for (quint32 seed = 1; seed <= 300; ++seed) {
        QRandomGenerator random(seed);
        const QString text = pick(random, Alphabet, random.bounded(300));
        PieceTree tree = piecesOf(text, random);
        SearchQuery::Options options;
        options.matchCase = random.bounded(2);
        options.regularExpression = random.bounded(2);
        const QString pattern = options.regularExpression
                                    ? pick(random, Tokens, 1 + random.bounded(3))
                                    : pick(random, Alphabet, 1 + random.bounded(2));
        const SearchQuery query(pattern, options);
        if (!query.error().isEmpty())
            continue;
        const QString replacement = options.regularExpression
                                        ? pick(random, {"<", "\\1", "\\0", "z", "\U0001F600"}, 3)
                                        : pick(random, Alphabet, random.bounded(3));
        int from = random.bounded(int(text.size()) + 1);
        int to = from + random.bounded(int(text.size()) - from + 1);
        from -= from > 0 && from < text.size() && text.at(from).isLowSurrogate() ? 1 : 0;
        to -= to > from && text.at(to - 1).isHighSurrogate() ? 1 : 0;

        // A position before a replacement stays, one after it moves by its
        // growth, and one inside it goes to its end.
        const int position = random.bounded(int(text.size()) + 1);
        int moved = position;
        PieceTree::Builder builder(tree, {position});
        TextSearch::scan(tree, query, {from, to}, {from},
                         [&](const Match &m, const QRegularExpressionMatch *groups) {
                             const QString with =
                                 groups ? query.replacementFor(replacement, *groups) : replacement;
                             builder.replace(m.start, m.length, with);
                             if (position > m.start)
                                 moved = position < m.end()
                                             ? moved - (position - m.start) + int(with.size())
                                             : moved + int(with.size()) - m.length;
                             return true;
                         });
        const PieceTree::Edited edited = builder.finish();
        QCOMPARE(edited.positions, std::vector<int>{moved});
        QCOMPARE(tree.text(), text);
        QVERIFY(tree.adopt(edited));
        QCOMPARE(tree.text(), replacedByQt(text, query, replacement, from, to));
        QCOMPARE(tree.lineCount(), int(tree.text().count(QLatin1Char('\n'))) + 1);
        if (edited.root != edited.base)
            QVERIFY(!tree.adopt(edited)); // made from a text that is gone
    }
}

// A pattern that backtracks without end is stopped by the engine's limit
// and said so, instead of freezing.
void TestTextSearch::runawayExpressionIsStopped()
{
    PieceTree tree;
    tree.insert(0, QString(40, QLatin1Char('a')) + "!");
    SearchQuery::Options options;
    options.regularExpression = true;
    TextSearch::Outcome outcome = TextSearch::Outcome::Done;
    const Match m =
        TextSearch::findForward(tree, SearchQuery("^(a+)+$", options), {0, 41}, {0}, {}, &outcome);
    QVERIFY(!m.isValid());
    QCOMPARE(outcome, TextSearch::Outcome::Runaway);
}

void TestTextSearch::cancelStopsAScan()
{
    PieceTree tree;
    tree.insert(0, QString(1 << 20, QLatin1Char('a')));
    const std::atomic_bool cancel{true};
    TextSearch::Outcome outcome = TextSearch::Outcome::Done;
    for (const bool regular : {false, true}) {
        SearchQuery::Options options;
        options.regularExpression = regular;
        const std::vector<Match> all =
            TextSearch::findAll(tree, SearchQuery("a", options), {0, 1 << 20}, {&cancel}, &outcome);
        QCOMPARE(outcome, TextSearch::Outcome::Cancelled);
        QVERIFY(all.size() < 4096);
    }
}

QTEST_GUILESS_MAIN(TestTextSearch)
#include "tst_textsearch.moc"
