#include <QSignalSpy>
#include <QTest>

#include <memory>

#include "editor/text/pagesearch.h"
#include "editor/text/textmodel.h"

namespace {

PageSearch::Settings settings(const QString &pattern, bool regular = false,
                              const QString &replacement = QString())
{
    PageSearch::Settings s;
    s.pattern = pattern;
    s.replacement = replacement;
    s.options.regularExpression = regular;
    return s;
}

QString selected(const TextModel &model)
{
    return QStringLiteral("%1-%2").arg(model.selectionStart()).arg(model.selectionEnd());
}

} // namespace

class TestPageSearch : public QObject
{
    Q_OBJECT

private slots:
    void stepsThroughMatches_data();
    void stepsThroughMatches();
    void replaceAllIsOneStep_data();
    void replaceAllIsOneStep();
    void replaceThenFindsNext();
    void badPatternsSearchNothing_data();
    void badPatternsSearchNothing();
    void supersededSearchChangesNothing_data();
    void supersededSearchChangesNothing();
};

void TestPageSearch::stepsThroughMatches_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("regular");
    QTest::addColumn<bool>("backward");
    QTest::addColumn<QStringList>("steps"); // selections, then the status
    QTest::newRow("next, wrapping")
        << "ab ab ab"
        << "ab" << false << false << QStringList{"0-2", "3-5", "6-8", "0-2", "1 of 3 matches"};
    QTest::newRow("previous, wrapping")
        << "ab ab ab"
        << "AB" << false << true << QStringList{"6-8", "3-5", "0-2", "6-8", "3 of 3 matches"};
    // Empty matches move on a character each time, so the steps end.
    QTest::newRow("line starts") << "a\nb\n"
                                 << "^" << true << false
                                 << QStringList{"0-0", "2-2", "0-0", "1 of 2 matches"};
    QTest::newRow("empty and not")
        << "xax"
        << "a*" << true << false
        << QStringList{"0-0", "1-2", "2-2", "3-3", "0-0", "1 of 4 matches"};
    QTest::newRow("none") << "abc"
                          << "z" << false << false << QStringList{"0-0", "No matches"};
}

void TestPageSearch::stepsThroughMatches()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(bool, regular);
    QFETCH(bool, backward);
    QFETCH(QStringList, steps);
    TextModel model;
    model.setText(text);
    PageSearch search(model);
    search.setSettings(settings(pattern, regular));
    const QString status = steps.takeLast();
    for (const QString &step : steps) {
        backward ? search.findPrevious() : search.findNext();
        QTRY_VERIFY(!search.isBusy());
        QCOMPARE(selected(model), step);
    }
    QTRY_COMPARE(search.status(), status);
    QCOMPARE(model.text().text(), text);
}

void TestPageSearch::replaceAllIsOneStep_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("regular");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<int>("from"); // the selection searched, or -1 for the page
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("after");
    const QString page = "<b>one</b>\n<b>two</b>";
    QTest::newRow("literal") << "<b>" << false << "<i>" << -1 << 0 << "<i>one</b>\n<i>two</b>";
    QTest::newRow("groups") << "<(/?)b>" << true << "<\\1strong>" << -1 << 0
                            << "<strong>one</strong>\n<strong>two</strong>";
    QTest::newRow("empty matches")
        << "^" << true << "> " << -1 << 0 << "> <b>one</b>\n> <b>two</b>";
    QTest::newRow("selection at the start")
        << "b" << false << "i" << 0 << 3 << "<i>one</b>\n<b>two</b>";
    QTest::newRow("selection at the end")
        << "b" << false << "i" << 17 << int(page.size()) << "<b>one</b>\n<b>two</i>";
}

// Replace All, in the page or a selection, is one undo step that gives back
// the page exactly.
void TestPageSearch::replaceAllIsOneStep()
{
    QFETCH(QString, pattern);
    QFETCH(bool, regular);
    QFETCH(QString, replacement);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, after);
    const QString page = "<b>one</b>\n<b>two</b>";
    TextModel model;
    model.setText(page);
    PageSearch search(model);
    PageSearch::Settings s = settings(pattern, regular, replacement);
    if (from >= 0) {
        model.setSelection(to, from);
        s.inSelection = true;
    }
    search.setSettings(s);
    QSignalSpy changes(&model, &TextModel::changed);
    search.replaceAll();
    QTRY_VERIFY(!search.isBusy());
    QCOMPARE(model.text().text(), after);
    QCOMPARE(changes.count(), 1);
    QVERIFY(search.status().startsWith("Replaced "));
    model.undo();
    QCOMPARE(model.text().text(), page);
    QVERIFY(!model.canUndo());
}

void TestPageSearch::replaceThenFindsNext()
{
    TextModel model;
    model.setText("a1 a2 a3");
    PageSearch search(model);
    search.setSettings(settings("a(\\d)", true, "<\\1>"));
    search.replace(); // nothing selected yet: finds the first
    QTRY_COMPARE(selected(model), QString("0-2"));
    search.replace();
    QTRY_COMPARE(selected(model), QString("4-6"));
    QCOMPARE(model.text().text(), QString("<1> a2 a3"));
    model.setSelection(7, 7); // the match is no longer the selection: nothing replaced
    search.replace();
    QTRY_COMPARE(selected(model), QString("7-9"));
    QCOMPARE(model.text().text(), QString("<1> a2 a3"));
}

void TestPageSearch::badPatternsSearchNothing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("status");
    QTest::newRow("bad") << "abc"
                         << "a(b"
                         << "missing closing parenthesis at position 4";
    QTest::newRow("runaway") << QString(40, QLatin1Char('a')) + "!"
                             << "^(a+)+$"
                             << "The expression backtracks too much";
}

void TestPageSearch::badPatternsSearchNothing()
{
    QFETCH(QString, text);
    QFETCH(QString, pattern);
    QFETCH(QString, status);
    TextModel model;
    model.setText(text);
    PageSearch search(model);
    search.setSettings(settings(pattern, true, "x"));
    for (const auto command : {&PageSearch::findNext, &PageSearch::replaceAll}) {
        (search.*command)();
        QTRY_VERIFY(!search.isBusy());
        QVERIFY2(search.status().startsWith(status), qPrintable(search.status()));
        QCOMPARE(selected(model), QString("0-0"));
        QCOMPARE(model.text().text(), text);
    }
}

void TestPageSearch::supersededSearchChangesNothing_data()
{
    QTest::addColumn<bool>("cancel"); // else an edit supersedes it
    QTest::newRow("cancelled") << true;
    QTest::newRow("superseded by an edit") << false;
}

// A Replace All that outlasts a frame goes on in the background; cancelled,
// or overtaken by an edit, it never changes the text.
void TestPageSearch::supersededSearchChangesNothing()
{
    QFETCH(bool, cancel);
    QString page;
    for (int i = 0; i < 400000; ++i)
        page += "<b>x</b>\n";
    TextModel model;
    model.setText(page);
    auto search = std::make_unique<PageSearch>(model);
    search->setSettings(settings("<(/?)b>", true, "<\\1i>"));
    search->replaceAll();
    QVERIFY(search->isBusy());
    if (cancel) {
        search->cancel();
        QCOMPARE(search->status(), QString("Search stopped"));
    } else {
        model.replace(0, 0, u"typed");
        QCOMPARE(search->status(), QString("Search stopped: the page changed"));
        page.prepend("typed");
    }
    search.reset(); // waits for the thread; what it posted is dropped
    QCoreApplication::processEvents();
    QCOMPARE(model.text().text(), page);
}

QTEST_GUILESS_MAIN(TestPageSearch)
#include "tst_pagesearch.moc"
