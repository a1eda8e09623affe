// The text storage and its undo steps against a plain QString model.
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <vector>

#include "editor/text/textmodel.h"

namespace {

// Characters a page may hold that a careless storage would change or drop.
const char16_t Alphabet[] = {u'a',   u'b',   u' ',   u'\n',  u'\n',  u'\r',  u'\t',
                             0x0000, 0x00A0, 0x2028, 0x2029, 0xFDD0, 0xFDD1, 0xFFFF,
                             0xD83D, 0xDE00, 0xDC00, 0xD800, u'<',   u'>'};

QString randomText(QRandomGenerator &random, int maxLength)
{
    QString text;
    const int length = random.bounded(maxLength + 1);
    for (int i = 0; i < length; ++i)
        text.append(QChar(Alphabet[random.bounded(int(std::size(Alphabet)))]));
    return text;
}

// Offsets where the model's lines start.
std::vector<int> lineStarts(const QString &text)
{
    std::vector<int> starts{0};
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\n'))
            starts.push_back(i + 1);
    }
    return starts;
}

} // namespace

class TestTextModel : public QObject
{
    Q_OBJECT

private slots:
    void randomEditsMatchAString_data();
    void randomEditsMatchAString();
    void keepsEveryCodeUnit_data();
    void keepsEveryCodeUnit();
    void replacingAHugeSelectionCopiesNothing();
    void typingMergesIntoOneStep();
    void typingJoinsWhereItLeftOff_data();
    void typingJoinsWhereItLeftOff();
    void editStepEndsHoweverItsScopeIsLeft();
    void undoingBackToTheSavedTextIsUnmodified();
    void addedTextSpansBuffers();
    void refusesToGrowPastTheLimit_data();
    void refusesToGrowPastTheLimit();
};

void TestTextModel::randomEditsMatchAString_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QString>("start");
    QTest::newRow("empty page") << 1u << QString();
    QTest::newRow("page of lines") << 2u << QString("<p>one</p>\n<p>two</p>\n").repeated(200);
    QTest::newRow("one long line") << 3u << QString("word ").repeated(2000);
    QTest::newRow("page of empty lines") << 4u << QString(3000, QLatin1Char('\n'));
}

void TestTextModel::randomEditsMatchAString()
{
    QFETCH(quint32, seed);
    QFETCH(QString, start);
    QRandomGenerator random(seed);
    TextModel model;
    model.setText(start);
    // The oracle: every version of the text, and how many are done.
    std::vector<QString> versions{start};
    std::size_t done = 1;
    const int steps = 40000;
    for (int step = 0; step < steps; ++step) {
        const QString &expected = versions[done - 1];
        const int choice = random.bounded(100);
        if (choice < 10) {
            model.undo();
            if (done > 1)
                --done;
        } else if (choice < 18) {
            model.redo();
            if (done < versions.size())
                ++done;
        } else if (choice < 22) {
            // A copy of the page's own text, as a drop within the box makes.
            const int from = random.bounded(int(expected.size()) + 1);
            const int count = random.bounded(std::min<int>(60, int(expected.size()) - from) + 1);
            const int at = random.bounded(int(expected.size()) + 1);
            model.copyWithin(from, count, at);
            if (count > 0) {
                versions.resize(done);
                versions.push_back(QString(expected).insert(at, expected.mid(from, count)));
                done = versions.size();
            }
        } else {
            const int from = random.bounded(int(expected.size()) + 1);
            const int removed =
                choice < 50 ? 0
                            : random.bounded(std::min<int>(60, int(expected.size()) - from) + 1);
            const QString added = randomText(random, choice < 70 ? 6 : 60);
            QString next = expected;
            next.replace(from, removed, added);
            model.replace(from, removed, added);
            if (removed > 0 || !added.isEmpty()) {
                versions.resize(done);
                versions.push_back(next);
                done = versions.size();
            }
        }
        const QString &text = versions[done - 1];
        const PieceTree &tree = model.text();
        QCOMPARE(tree.length(), int(text.size()));
        const std::vector<int> starts = lineStarts(text);
        QCOMPARE(tree.lineCount(), int(starts.size()));
        // Every few steps the whole text; always a few samples of the maps.
        if (step % 16 == 0)
            QCOMPARE(tree.text(), text);
        for (int probe = 0; probe < 4; ++probe) {
            const int line = random.bounded(int(starts.size()));
            QCOMPARE(tree.lineStart(line), starts[line]);
            const int offset = random.bounded(int(text.size()) + 1);
            const auto after = std::upper_bound(starts.begin(), starts.end(), offset);
            QCOMPARE(tree.lineAt(offset), int(after - starts.begin() - 1));
            const int count = random.bounded(int(text.size()) - offset + 1);
            QCOMPARE(tree.text(offset, count), text.mid(offset, count));
            if (offset < text.size())
                QCOMPARE(tree.at(offset), text[offset]);
        }
    }
    QCOMPARE(model.text().text(), versions[done - 1]);
}

void TestTextModel::keepsEveryCodeUnit_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("NUL") << QString(QChar(0)) + "a" + QChar(0);
    QTest::newRow("lone CR and CR LF") << QString("a\rb\r\nc");
    QTest::newRow("separators") << QString(QChar(0x2028)) + QChar(0x2029);
    QTest::newRow("noncharacters") << QString(QChar(0xFDD0)) + QChar(0xFDD1) + QChar(0xFFFE);
    QTest::newRow("lone surrogates") << QString(QChar(0xDC00)) + "x" + QChar(0xD800);
    QTest::newRow("no-break space") << QString("a") + QChar(0xA0) + "b";
    QTest::newRow("tabs and trailing blanks") << QString("\tx  \n  y\t\n\n");
    QTest::newRow("accents, CJK and emoji") << QString::fromUtf8("café 中文 😀");
    QTest::newRow("byte-order mark") << QString(QChar(0xFEFF)) + "<html>";
    QTest::newRow("soft hyphen and zero width") << QString::fromUtf8("a\u00ADb\u200Bc");
}

void TestTextModel::keepsEveryCodeUnit()
{
    QFETCH(QString, text);
    TextModel model;
    model.setSelection(0, 0);
    model.replaceSelection(u"old text");
    model.setText(text);
    QCOMPARE(model.text().text(), text);
    QCOMPARE(model.caret(), 0);
    QVERIFY(!model.hasSelection() && !model.canUndo());
    // Inserted piece by piece, unit by unit, it is the same.
    TextModel typed;
    for (const QChar unit : text)
        typed.replaceSelection(QString(unit), TextModel::EditStep::Typing);
    QCOMPARE(typed.text().text(), text);
    typed.setSelection(int(text.size()), 0);
    QCOMPARE(typed.selectedText(), text);
}

void TestTextModel::replacingAHugeSelectionCopiesNothing()
{
    // 64 MB of text: a copy per undo step would show in time and memory.
    const QString page = QString("0123456789abcdef\n").repeated(1 << 21);
    TextModel model;
    model.setText(page);
    for (int i = 0; i < 200; ++i) {
        model.setSelection(int(page.size()) - i, i);
        model.replaceSelection(u"x");
        QCOMPARE(model.length(), 2 * i + 1);
        model.undo();
        QCOMPARE(model.length(), int(page.size()));
    }
    QCOMPARE(model.text().text(1000, 17), page.mid(1000, 17));
}

void TestTextModel::typingMergesIntoOneStep()
{
    TextModel model;
    for (const QChar c : QString("abc"))
        model.replaceSelection(QString(c), TextModel::EditStep::Typing);
    model.replaceSelection(u"<br>");
    for (const QChar c : QString("de"))
        model.replaceSelection(QString(c), TextModel::EditStep::Typing);
    QCOMPARE(model.text().text(), QString("abc<br>de"));
    model.undo();
    QCOMPARE(model.text().text(), QString("abc<br>"));
    model.undo();
    QCOMPARE(model.text().text(), QString("abc"));
    model.undo();
    QCOMPARE(model.text().text(), QString());
    QVERIFY(!model.canUndo());
}

using Between = std::function<void(TextModel &)>;
Q_DECLARE_METATYPE(Between)

// "ab" typed, something, "cd" typed: how many undo steps the typing makes.
void TestTextModel::typingJoinsWhereItLeftOff_data()
{
    QTest::addColumn<Between>("between");
    QTest::addColumn<int>("steps");
    QTest::newRow("nothing") << Between([](TextModel &) {}) << 1;
    // As in Qt's own box, a caret move alone ends nothing.
    QTest::newRow("caret moved and back") << Between([](TextModel &model) {
        model.setSelection(0, 0);
        model.setSelection(2, 2);
    }) << 1;
    // The journal and the search take one every so often; the typing after
    // it goes to a new buffer, yet follows on.
    QTest::newRow("a snapshot taken") << Between([](TextModel &model) { model.snapshot(); }) << 1;
    QTest::newRow("a command that changes nothing")
        << Between([](TextModel &model) { model.replaceSelection(QString()); }) << 1;
    QTest::newRow("typed elsewhere, then back") << Between([](TextModel &model) {
        model.setSelection(0, 0);
        model.replaceSelection(u"x", TextModel::EditStep::Typing);
        model.replaceSelection(u"y", TextModel::EditStep::Typing);
        model.setSelection(2, 2);
        model.replaceSelection(u"", TextModel::EditStep::Typing);
        model.setSelection(2, 2);
        model.replace(0, 2, u"");
        model.setSelection(2, 2);
    }) << 4;
    QTest::newRow("a command, taken out again") << Between([](TextModel &model) {
        model.replaceSelection(u"<br>");
        model.replace(2, 4, u"");
        model.setSelection(2, 2);
    }) << 4;
    // A line break is a step of its own in Qt's box, and so is all typing
    // that holds one, as an input method may commit.
    QTest::newRow("typing that holds a line break, taken out again")
        << Between([](TextModel &model) {
               model.replaceSelection(u"x\ny", TextModel::EditStep::Typing);
               model.replace(2, 3, u"");
               model.setSelection(2, 2);
           })
        << 4;
    QTest::newRow("typing of an empty string") << Between([](TextModel &model) {
        model.replaceSelection(QString(), TextModel::EditStep::Typing);
    }) << 1;
}

void TestTextModel::typingJoinsWhereItLeftOff()
{
    QFETCH(Between, between);
    QFETCH(int, steps);
    TextModel model;
    const auto type = [&model](const QString &text) {
        for (const QChar c : text)
            model.replaceSelection(QString(c), TextModel::EditStep::Typing);
    };
    type("ab");
    between(model);
    type("cd");
    QCOMPARE(model.text().text(), QString("abcd"));
    int undone = 0;
    for (; model.canUndo(); ++undone)
        model.undo();
    QCOMPARE(undone, steps);
    QCOMPARE(model.text().text(), QString());
}

// An early return from inside a step still ends it, so the next edit is an
// undo step of its own.
void TestTextModel::editStepEndsHoweverItsScopeIsLeft()
{
    TextModel model;
    const auto edit = [&model](bool leaveEarly) {
        const TextModel::EditStep step(model);
        model.replace(model.length(), 0, u"<b>");
        if (leaveEarly)
            return;
        model.replace(model.length(), 0, u"</b>");
    };
    edit(true);
    model.replace(model.length(), 0, u"x");
    edit(false);
    const QStringList expected{"<b>x<b></b>", "<b>x", "<b>", ""};
    for (const QString &text : expected) {
        QCOMPARE(model.text().text(), text);
        model.undo();
    }
    QVERIFY(!model.canUndo());
}

void TestTextModel::undoingBackToTheSavedTextIsUnmodified()
{
    TextModel model;
    model.setText("page"); // a new text is unchanged
    QVERIFY(!model.isModified());
    model.replaceSelection(u"x");
    QVERIFY(model.isModified());
    model.undo();
    QVERIFY(!model.isModified());
    model.redo();
    QVERIFY(model.isModified());
    model.setUnmodified();
    model.undo();
    QVERIFY(model.isModified());
}

// Added text goes on in a buffer of its own once one is full; typing on
// across that, and texts longer than a buffer, read back as inserted.
void TestTextModel::addedTextSpansBuffers()
{
    PieceTree tree(16);
    QString expected;
    QRandomGenerator random(6);
    for (int step = 0, at = 0; step < 3000; ++step) {
        at = step % 2 ? at : random.bounded(int(expected.size()) + 1);
        const QString added = randomText(random, step % 7 ? 5 : 40);
        QVERIFY(tree.insert(at, added));
        expected.insert(at, added);
        at += int(added.size());
    }
    QCOMPARE(tree.text(), expected);
    const std::vector<int> starts = lineStarts(expected);
    QCOMPARE(tree.lineStart(int(starts.size()) - 1), starts.back());
}

void TestTextModel::refusesToGrowPastTheLimit_data()
{
    QTest::addColumn<int>("removed");   // at the end of the full text
    QTest::addColumn<QString>("added"); // in their place
    QTest::addColumn<QString>("tail");  // the text's end after the edit
    QTest::newRow("a character typed, refused") << 0 << "x"
                                                << "ne\nl";
    QTest::newRow("one character for one") << 1 << "y"
                                           << "ne\ny";
    QTest::newRow("two for one, refused") << 1 << "yz"
                                          << "ne\nl";
    QTest::newRow("a line removed") << 5 << ""
                                    << "ne\nl";
}

// Grown to the limit from shared pieces, without the memory: every length
// and offset stays in range (the sanitized build checks), and an edit past the
// limit changes nothing and says why.
void TestTextModel::refusesToGrowPastTheLimit()
{
    QFETCH(int, removed);
    QFETCH(QString, added);
    QFETCH(QString, tail);
    TextModel model;
    model.setText(QString("line\n").repeated(1 << 16));
    QSignalSpy refused(&model, &TextModel::editRefused);
    while (model.copyWithin(0, model.length(), model.length())) {
    }
    QCOMPARE(refused.count(), 1);
    const int full = PieceTree::MaxLength;
    QVERIFY(model.copyWithin(0, full - model.length(), model.length()));
    QCOMPARE(model.length(), full);
    model.setSelection(full, full - removed);
    const PieceTree::Root before = model.text().root();
    const bool done = model.replaceSelection(added, TextModel::EditStep::Typing);
    QCOMPARE(done, full - removed + added.size() <= full);
    QCOMPARE(refused.count(), done ? 1 : 2);
    QCOMPARE(model.text().root() == before, !done);
    const int length = done ? full - removed + int(added.size()) : full;
    QCOMPARE(model.length(), length);
    QCOMPARE(model.caret(), length);
    // The text is "line\n" over and over, whatever the pieces.
    QCOMPARE(model.text().text(length - 4, 4), tail);
    const int breaks = (length + 1) / 5;
    QCOMPARE(model.text().lineCount(), breaks + 1);
    QCOMPARE(model.text().lineAt(length), breaks);
    QCOMPARE(model.text().lineStart(breaks), 5 * breaks);
}

QTEST_MAIN(TestTextModel)
#include "tst_textmodel.moc"
