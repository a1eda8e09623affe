// Rows found chunk by chunk, and kept across edits, are the rows Qt finds
// when it lays out the whole line at once.
#include <QFontDatabase>
#include <QRandomGenerator>
#include <QTest>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <vector>

#include "editor/rows/rowmap.h"
#include "editor/text/piecetree.h"

namespace {

constexpr qreal Width = 400;

QFont boxFont()
{
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

// The oracle: where each row of `line` starts when Qt wraps it whole.
std::vector<int> wholeLineRows(const QString &line, const QFont &font = boxFont())
{
    QTextLayout layout(line, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setTabStopDistance(80);
    layout.setTextOption(option);
    layout.beginLayout();
    std::vector<int> starts;
    for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
        row.setLineWidth(Width);
        starts.push_back(row.textStart());
    }
    layout.endLayout();
    return starts;
}

std::vector<int> mappedRows(RowMap &rows, int lineStart)
{
    std::vector<int> starts;
    RowMap::Row row = rows.rowAt(lineStart);
    do {
        starts.push_back(row.start - lineStart);
    } while (!row.lastInLine() && rows.next(row));
    return starts;
}

QString words(QRandomGenerator &random, int length)
{
    QString text;
    while (text.size() < length) {
        const int word = random.bounded(1, 14);
        text += QString(word, QChar(u'a' + random.bounded(26))) + (random.bounded(9) ? " " : "-");
    }
    return text.left(length);
}

// Words of a page's source, with the punctuation the break rules treat apart.
QString markup(QRandomGenerator &random, int length)
{
    static const char *const tokens[] = {
        "<a href=\"x.html\">",
        "</a>",
        "(1,234.5)",
        "x/y",
        "\"quoted\"",
        "a-b",
        "50%",
        "$12",
        "e.g.",
        "<br/>",
        "--",
        "?!",
        "[i]",
        "{k:v}",
        "\t",
        "  ",
    };
    QString text;
    while (text.size() < length) {
        text += tokens[random.bounded(int(std::size(tokens)))];
        if (random.bounded(3))
            text += QString(random.bounded(1, 9), QChar(u'a' + random.bounded(26)));
        if (random.bounded(4))
            text += ' ';
    }
    return text.left(length);
}

// Characters of many widths, kerned in pairs, that never let a line break
// between them, as in an inlined picture; `breaking` adds some that do. A
// tab now and then keeps Qt from cutting the run for shaping every 4096
// characters from where it starts, which moves rows by a kerning's width
// where a chunk starting elsewhere does not cut it.
QString unbroken(QRandomGenerator &random, int length, bool breaking = false)
{
    static const QString letters = QStringLiteral("AWVTAyiljmM0f1\u00A0\u0301");
    static const QString breaks = QStringLiteral(" -\u200B\u00AD");
    const QString &from = breaking ? letters + breaks : letters;
    QString text;
    for (int i = 0; i < length; ++i)
        text += i % 1000 == 999 ? QChar(u'\t') : from.at(random.bounded(int(from.size())));
    return text;
}

} // namespace

class TestRowMap : public QObject
{
    Q_OBJECT

private slots:
    void longLineRowsMatchQt_data();
    void longLineRowsMatchQt();
    void editsKeepTheRowsRight_data();
    void editsKeepTheRowsRight();
    void rowsWalkBothWays();
    void jumpsFarIntoALongLine_data();
    void jumpsFarIntoALongLine();
    void rowsKeepWithinTheBound_data();
    void rowsKeepWithinTheBound();
};

void TestRowMap::longLineRowsMatchQt_data()
{
    QTest::addColumn<QString>("line");
    QRandomGenerator random(7);
    QTest::newRow("words") << words(random, 50000);
    QTest::newRow("markup") << markup(random, 50000);
    QTest::newRow("right-to-left")
        << QString::fromUtf8("\u05e9\u05dc\u05d5\u05dd ") + markup(random, 50000);
    QTest::newRow("no break opportunity") << QString(40000, QLatin1Char('x'));
    QTest::newRow("tabs and spaces") << QString("\tab  cd\t\t ef ").repeated(3000);
    QTest::newRow("one very long word among words")
        << words(random, 9000) + QString(20000, QLatin1Char('y')) + words(random, 9000);
}

void TestRowMap::longLineRowsMatchQt()
{
    QFETCH(QString, line);
    PieceTree text;
    text.reset("before\n" + line + "\nafter");
    RowMap rows(text);
    rows.setFormat(boxFont(), Width, 80);
    QVERIFY(mappedRows(rows, 7) == wholeLineRows(line));
}

void TestRowMap::editsKeepTheRowsRight_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QFont>("font");
    QTest::newRow("words") << 11u << boxFont();
    QTest::newRow("markup") << 13u << boxFont();
    QTest::newRow("no break opportunity") << 12u << boxFont();
    // Kerned characters of many widths, and marks that join the one before
    // them, typed where chunks of the line are cut and joined again.
    QTest::newRow("no break, many widths")
        << 14u << QFontDatabase::systemFont(QFontDatabase::GeneralFont);
}

void TestRowMap::editsKeepTheRowsRight()
{
    QFETCH(quint32, seed);
    QFETCH(QFont, font);
    QRandomGenerator random(seed);
    const QByteArray kind = QTest::currentDataTag();
    const bool typed = kind.startsWith("no break,");
    // The line, or text to put in it when `edit` is set.
    const auto make = [&](int size, bool edit) {
        if (kind == "words")
            return words(random, size);
        if (kind == "markup")
            return markup(random, size);
        if (kind == "no break opportunity")
            return QString(edit ? 2 : size, QLatin1Char('z'));
        return unbroken(random, size, edit);
    };
    QString line = make(30000, false);
    PieceTree text;
    text.reset(line);
    RowMap rows(text);
    rows.setFormat(font, Width, 80);
    mappedRows(rows, 0); // wrapped to the end once, then kept across the edits
    for (int edit = 0; edit < 60; ++edit) {
        // Every other edit near a row's start, where the row before may take
        // in the shortened word.
        int at = random.bounded(int(line.size()));
        if (edit % 2)
            at = std::min(int(line.size()) - 1, rows.rowAt(at).start + random.bounded(3));
        const int removed = random.bounded(std::min<int>(30, int(line.size()) - at) + 1);
        const QString added = make(random.bounded(typed ? 4 : 20), true);
        text.remove(at, removed);
        text.insert(at, added);
        line.replace(at, removed, added);
        rows.textChanged(at, removed, int(added.size()));
        // Asking for a row near the edit first, as the screen does.
        rows.rowAt(at);
        QVERIFY2(mappedRows(rows, 0) == wholeLineRows(line, font),
                 qPrintable(QString::number(edit)));
    }
}

void TestRowMap::rowsWalkBothWays()
{
    PieceTree text;
    QRandomGenerator random(5);
    const QString page = "short\n\n" + words(random, 20000) + "\nend";
    text.reset(page);
    RowMap rows(text);
    rows.setFormat(boxFont(), Width, 80);
    std::vector<int> forward;
    RowMap::Row row = rows.rowAt(0);
    do {
        forward.push_back(row.start);
    } while (rows.next(row));
    std::vector<int> backward;
    row = rows.rowAt(int(page.size()));
    do {
        backward.insert(backward.begin(), row.start);
    } while (rows.previous(row));
    QVERIFY(forward == backward);
    QCOMPARE(forward.front(), 0);
    QCOMPARE(forward.back(), int(page.size()) - 3);
    for (int start : forward)
        QCOMPARE(rows.rowAt(start).start, start);
}

void TestRowMap::jumpsFarIntoALongLine_data()
{
    QTest::addColumn<QString>("line");
    QRandomGenerator random(9);
    QTest::newRow("words") << words(random, 100000);
    QTest::newRow("no break opportunity") << QString(100000, QLatin1Char('q'));
}

// A jump to the end, the middle and back again shows rows that fit and
// follow on from each other without wrapping the line from its start; going
// through the line from its start then finds Qt's rows all the same.
void TestRowMap::jumpsFarIntoALongLine()
{
    QFETCH(QString, line);
    PieceTree text;
    text.reset(line);
    RowMap rows(text);
    rows.setFormat(boxFont(), Width, 80);
    const int length = int(line.size());
    const auto fits = [&](const RowMap::Row &row) {
        QTextLayout layout(line.mid(row.start, row.end - row.start), boxFont());
        layout.beginLayout();
        QTextLine first = layout.createLine();
        first.setLineWidth(Width);
        const bool one = !layout.createLine().isValid();
        layout.endLayout();
        return row.end > row.start && one;
    };
    for (const int target : {length, length / 2, length / 4 * 3}) {
        RowMap::Row row = rows.rowAt(target);
        QVERIFY(row.start <= target && (target < row.end || target == length));
        RowMap::Row down = row;
        for (int i = 0; i < 300 && rows.previous(row); ++i) {
            QVERIFY(fits(row));
            QCOMPARE(row.end, down.start);
            down = row;
        }
        QVERIFY(!rows.wrapped(0));
    }
    QVERIFY(mappedRows(rows, 0) == wholeLineRows(line));
}

void TestRowMap::rowsKeepWithinTheBound_data()
{
    QTest::addColumn<QString>("line");
    QRandomGenerator random(3);
    const QChar mark(0x0301);
    const QString zeroWidth(20000, QChar(0x200B));
    QTest::newRow("zero-width spaces") << zeroWidth;
    QTest::newRow("one letter, many marks") << "a" + QString(20000, mark) + " end";
    QTest::newRow("letters with many marks") << ("x" + QString(300, mark)).repeated(60);
    // Marks outside the Basic Multilingual Plane: surrogate pairs all along.
    QTest::newRow("one letter, marks in pairs")
        << "a" + QString::fromUtf8("\U0001D167").repeated(6000);
    QTest::newRow("zero-width run among words")
        << words(random, 5000) + zeroWidth + words(random, 5000);
}

// However narrow the characters, a row holds MaxRowLength at most; it ends
// inside a grapheme only when that grapheme fills it, and never between the
// halves of a surrogate pair, before and after edits in the run.
void TestRowMap::rowsKeepWithinTheBound()
{
    QFETCH(QString, line);
    PieceTree text;
    text.reset(line);
    RowMap rows(text);
    rows.setFormat(boxFont(), Width, 80);
    QRandomGenerator random(8);
    for (int edit = 0; edit <= 20; ++edit) {
        const std::vector<int> starts = mappedRows(rows, 0);
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, line);
        for (std::size_t i = 0; i < starts.size(); ++i) {
            const int start = starts[i];
            const int end = i + 1 < starts.size() ? starts[i + 1] : int(line.size());
            QVERIFY(end - start <= RowMap::MaxRowLength);
            QVERIFY(!line.at(end - 1).isHighSurrogate() || end == line.size());
            graphemes.setPosition(start);
            const qsizetype next = graphemes.toNextBoundary();
            graphemes.setPosition(end);
            QVERIFY2(graphemes.isAtBoundary() || next > end, qPrintable(QString::number(end)));
        }
        // Letters and marks typed, never between the halves of a pair.
        int at = random.bounded(int(line.size()));
        at -= at > 0 && line.at(at - 1).isHighSurrogate() ? 1 : 0;
        const QString added = edit % 2 ? QString(random.bounded(1, 3), QChar(0x0301)) : "x";
        text.insert(at, added);
        line.insert(at, added);
        rows.textChanged(at, 0, int(added.size()));
        rows.rowAt(at);
    }
}

QTEST_MAIN(TestRowMap)
#include "tst_rowmap.moc"
