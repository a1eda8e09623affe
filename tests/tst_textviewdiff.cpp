// The text view against Qt's stock plain-text box, the oracle for how every
// key and click moves the caret: the same random keys, clicks and clipboard
// actions go to both, and after each the text, caret and anchor must agree.
#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include "editor/text/textmodel.h"
#include "editor/view/caretmotion.h"
#include "editor/view/textview.h"
#include "testsupport.h"

namespace {

struct Key
{
    const char *name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};

const Key Keys[] = {
    {"Left", Qt::Key_Left, {}},
    {"Right", Qt::Key_Right, {}},
    {"Up", Qt::Key_Up, {}},
    {"Down", Qt::Key_Down, {}},
    {"Home", Qt::Key_Home, {}},
    {"End", Qt::Key_End, {}},
    {"Ctrl+Left", Qt::Key_Left, Qt::ControlModifier},
    {"Ctrl+Right", Qt::Key_Right, Qt::ControlModifier},
    {"Ctrl+Home", Qt::Key_Home, Qt::ControlModifier},
    {"Ctrl+End", Qt::Key_End, Qt::ControlModifier},
    {"PageUp", Qt::Key_PageUp, {}},
    {"PageDown", Qt::Key_PageDown, {}},
    {"Shift+Left", Qt::Key_Left, Qt::ShiftModifier},
    {"Shift+Right", Qt::Key_Right, Qt::ShiftModifier},
    {"Shift+Up", Qt::Key_Up, Qt::ShiftModifier},
    {"Shift+Down", Qt::Key_Down, Qt::ShiftModifier},
    {"Shift+Home", Qt::Key_Home, Qt::ShiftModifier},
    {"Shift+End", Qt::Key_End, Qt::ShiftModifier},
    {"Ctrl+Shift+Left", Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier},
    {"Ctrl+Shift+Right", Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier},
    {"Ctrl+Shift+Home", Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier},
    {"Ctrl+Shift+End", Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier},
    {"Shift+PageUp", Qt::Key_PageUp, Qt::ShiftModifier},
    {"Shift+PageDown", Qt::Key_PageDown, Qt::ShiftModifier},
    {"Backspace", Qt::Key_Backspace, {}},
    {"Delete", Qt::Key_Delete, {}},
    {"Return", Qt::Key_Return, {}},
    {"Ctrl+A", Qt::Key_A, Qt::ControlModifier},
    {"Ctrl+C", Qt::Key_C, Qt::ControlModifier},
    {"Ctrl+X", Qt::Key_X, Qt::ControlModifier},
    {"Ctrl+V", Qt::Key_V, Qt::ControlModifier},
    {"Ctrl+Insert", Qt::Key_Insert, Qt::ControlModifier},
    {"Shift+Insert", Qt::Key_Insert, Qt::ShiftModifier},
    {"Shift+Delete", Qt::Key_Delete, Qt::ShiftModifier},
    {"Ctrl+Backspace", Qt::Key_Backspace, Qt::ControlModifier},
    {"Ctrl+Delete", Qt::Key_Delete, Qt::ControlModifier},
    // Undo and redo come up several times as often, to follow every kind of step.
    {"Ctrl+Z", Qt::Key_Z, Qt::ControlModifier},
    {"Ctrl+Z", Qt::Key_Z, Qt::ControlModifier},
    {"Ctrl+Z", Qt::Key_Z, Qt::ControlModifier},
    {"Ctrl+Y", Qt::Key_Y, Qt::ControlModifier},
    {"Ctrl+Y", Qt::Key_Y, Qt::ControlModifier},
    {"Ctrl+Shift+Z", Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier},
};

QString randomPage(QRandomGenerator &random)
{
    static const char *const words[] = {"<p>",
                                        "lorem",
                                        "ipsum",
                                        "a",
                                        "dolor-sit",
                                        "amet,",
                                        "<b>x</b>",
                                        "consectetur",
                                        "http://example.com/x",
                                        "l'\u00e9cole",
                                        "e\u0301t\u00e9",
                                        "\U0001F600!"};
    QString page;
    const int lines = random.bounded(5, 40);
    for (int line = 0; line < lines; ++line) {
        const int count = random.bounded(0, 60);
        for (int i = 0; i < count; ++i) {
            page += QString::fromUtf8(words[random.bounded(int(std::size(words)))]);
            page += random.bounded(12) ? " " : "  ";
        }
        if (random.bounded(8) == 0)
            page += QString(random.bounded(50, 200), QLatin1Char('x')); // no break opportunity
        page += '\n';
    }
    return page;
}

template <class Box> void setUp(Box *box, const QFont &font)
{
    box->setFont(font);
    box->resize(420, 300);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->show();
}

// Qt's stock box and the view side by side, of one size and font, on one page.
struct Boxes
{
    QPlainTextEdit stock;
    TextModel model;
    TextView view{model};

    explicit Boxes(const QString &page)
    {
        const QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        stock.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        setUp(&stock, font);
        setUp(&view, font);
        stock.setPlainText(page);
        view.model().setText(page);
    }

    // Both at the top. The stock box keeps a fraction of a pixel from earlier
    // scrolling with a font whose height is not whole, unless it scrolls
    // while not updating.
    void toTop()
    {
        stock.viewport()->setUpdatesEnabled(false);
        stock.verticalScrollBar()->setValue(1);
        stock.verticalScrollBar()->setValue(0);
        stock.viewport()->setUpdatesEnabled(true);
        view.verticalScrollBar()->setValue(0);
    }
};

struct Gesture
{
    QEvent::Type type;
    QPoint at;
    Qt::KeyboardModifiers modifiers = {};
};

void perform(QWidget *viewport, const QList<Gesture> &gestures)
{
    for (const Gesture &gesture : gestures)
        TestSupport::sendMouse(viewport, gesture.type, gesture.at, gesture.modifiers);
}

} // namespace

Q_DECLARE_METATYPE(QList<Gesture>)

class TestTextViewDiff : public QObject
{
    Q_OBJECT

private slots:
    void sameAsTheStockBox_data();
    void sameAsTheStockBox();
    void clicksAsTheStockBox_data();
    void clicksAsTheStockBox();
    void arrowsInRightToLeftLines_data();
    void arrowsInRightToLeftLines();
    void caretMotionAsTheStockBox_data();
    void caretMotionAsTheStockBox();
    void undoAsTheStockBox_data();
    void undoAsTheStockBox();
};

void TestTextViewDiff::sameAsTheStockBox_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 40; ++seed)
        QTest::newRow(qPrintable(QString("seed %1").arg(seed))) << seed;
}

void TestTextViewDiff::sameAsTheStockBox()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    Boxes boxes(randomPage(random));
    QPlainTextEdit &stock = boxes.stock;
    TextView &view = boxes.view;
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QApplication::clipboard()->setText("clip\nboard");

    QStringList trace;
    for (int step = 0; step < 500; ++step) {
        const int choice = random.bounded(100);
        if (choice < 70) {
            const Key &key = Keys[random.bounded(int(std::size(Keys)))];
            // Undoing a paste at the very start puts the stock caret on the
            // next line rather than after the text taken out.
            const QByteArrayView name(key.name);
            const bool pastes = name == "Ctrl+V" || name == "Shift+Insert";
            if (pastes && stock.textCursor().position() == 0 && !stock.textCursor().hasSelection())
                continue;
            // Return on an empty line first resets the line's format in the
            // stock box, an undo step of its own that changes nothing seen.
            if (key.key == Qt::Key_Return && stock.textCursor().block().text().isEmpty())
                continue;
            if (key.key == Qt::Key_PageUp || key.key == Qt::Key_PageDown) {
                // A page move depends on the scroll position: pages start
                // level. To show a caret below the page first, the stock box
                // scrolls by a fraction of a row, which the view does not copy.
                boxes.toTop();
                if (!stock.viewport()->rect().contains(stock.cursorRect()))
                    continue;
            }
            trace.append(key.name);
            QTest::keyClick(&stock, key.key, key.modifiers);
            QTest::keyClick(&view, key.key, key.modifiers);
        } else if (choice < 85) {
            // Letters, an accented one, a combining mark, an apostrophe, a tag's brackets.
            static const QString typing =
                QString::fromUtf8("abcdefghijklmnopqrstuvwxyz\u00e9\u0301'<>");
            const QString typed(typing.at(random.bounded(int(typing.size()))));
            trace.append("type " + typed);
            QTest::sendKeyEvent(QTest::Click, &stock, Qt::Key_unknown, typed, Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Click, &view, Qt::Key_unknown, typed, Qt::NoModifier);
        } else {
            // Clicks, Shift+clicks, double clicks, drags after them, and triple clicks.
            const auto randomPoint = [&random] {
                return QPoint(random.bounded(1, 400), random.bounded(1, 290));
            };
            const QPoint at = randomPoint();
            const int kind = random.bounded(8);
            QList<Gesture> gestures = {{QEvent::MouseButtonPress, at}};
            if (kind == 0)
                gestures[0].modifiers = Qt::ShiftModifier;
            if (kind >= 5)
                gestures += {{QEvent::MouseButtonRelease, at}, {QEvent::MouseButtonDblClick, at}};
            if (kind == 6)
                gestures.append({QEvent::MouseMove, randomPoint()});
            if (kind == 7)
                gestures += {{QEvent::MouseButtonRelease, at}, {QEvent::MouseButtonPress, at}};
            gestures.append({QEvent::MouseButtonRelease, gestures.last().at});
            static const char *const kinds[] = {
                "Shift+click",           "click",       "click", "click", "click", "double click",
                "double click and drag", "triple click"};
            trace.append(QString("%1 %2,%3 to %4,%5")
                             .arg(kinds[kind])
                             .arg(at.x())
                             .arg(at.y())
                             .arg(gestures.last().at.x())
                             .arg(gestures.last().at.y()));
            // Clicks land on the same text only from the same scroll position.
            boxes.toTop();
            perform(stock.viewport(), gestures);
            perform(view.viewport(), gestures);
        }
        const QTextCursor cursor = stock.textCursor();
        const QString where = trace.mid(std::max<qsizetype>(0, trace.size() - 6)).join(", ");
        QVERIFY2(view.model().text().text() == stock.toPlainText(), qPrintable(where));
        QVERIFY2(view.model().caret() == cursor.position(),
                 qPrintable(QString("caret %1, stock %2 after %3")
                                .arg(view.model().caret())
                                .arg(cursor.position())
                                .arg(where)));
        QVERIFY2(view.model().anchor() == cursor.anchor(),
                 qPrintable(QString("anchor %1, stock %2 after %3")
                                .arg(view.model().anchor())
                                .arg(cursor.anchor())
                                .arg(where)));
    }
}

void TestTextViewDiff::clicksAsTheStockBox_data()
{
    QTest::addColumn<QList<Gesture>>("gestures");
    const auto doubleClick = [](QPoint at) {
        return QList<Gesture>{{QEvent::MouseButtonPress, at},
                              {QEvent::MouseButtonRelease, at},
                              {QEvent::MouseButtonDblClick, at}};
    };
    const auto releaseAt = [](QList<Gesture> gestures, QPoint to) {
        gestures.append({QEvent::MouseMove, to});
        gestures.append({QEvent::MouseButtonRelease, to});
        return gestures;
    };
    QTest::newRow("double click") << releaseAt(doubleClick(QPoint(40, 10)), QPoint(40, 10));
    QTest::newRow("double click, moved within the word")
        << releaseAt(doubleClick(QPoint(30, 10)), QPoint(55, 11));
    QTest::newRow("double click on a tag")
        << releaseAt(doubleClick(QPoint(130, 27)), QPoint(130, 27));
    QList<Gesture> triple = doubleClick(QPoint(100, 40));
    triple.append({QEvent::MouseButtonRelease, QPoint(100, 40)});
    triple.append({QEvent::MouseButtonPress, QPoint(100, 40)});
    QTest::newRow("triple click") << releaseAt(triple, QPoint(100, 40));
    // A drag after a double click stops at the nearer edge of a word, and a
    // Shift+click after one extends by words; the random comparison has the rest.
    const QList<Gesture> onDolor = doubleClick(QPoint(134, 10));
    QTest::newRow("dragged onto the right half of an earlier word")
        << releaseAt(onDolor, QPoint(55, 10));
    QList<Gesture> shiftClick = onDolor;
    shiftClick.append({QEvent::MouseButtonRelease, QPoint(134, 10)});
    shiftClick.append({QEvent::MouseButtonPress, QPoint(160, 27), Qt::ShiftModifier});
    shiftClick.append({QEvent::MouseButtonRelease, QPoint(160, 27), Qt::ShiftModifier});
    QTest::newRow("Shift+click after a double click") << shiftClick;
}

// A double click selects a word and a triple click a line, as in the stock box.
void TestTextViewDiff::clicksAsTheStockBox()
{
    QFETCH(QList<Gesture>, gestures);
    const QString page = "<p>lorem ipsum, dolor sit amet</p>\n"
                         "consectetur <b>adipiscing</b> elit\n"
                         "sed do-eiusmod tempor    incididunt\n"
                         "x\n";
    Boxes boxes(page);
    QPlainTextEdit &stock = boxes.stock;
    TextView &view = boxes.view;
    perform(stock.viewport(), gestures);
    perform(view.viewport(), gestures);
    QVERIFY(stock.textCursor().hasSelection());
    QCOMPARE(view.model().caret(), stock.textCursor().position());
    QCOMPARE(view.model().anchor(), stock.textCursor().anchor());
}

void TestTextViewDiff::arrowsInRightToLeftLines_data()
{
    QTest::addColumn<QString>("page");
    const QString hebrew = QString::fromUtf8("\u05e9\u05dc\u05d5\u05dd \u05e2\u05d5\u05dc\u05dd");
    const QString arabic = QString::fromUtf8("\u0645\u0631\u062d\u0628\u0627 \u0628\u0643");
    QTest::newRow("right-to-left words in a line") << "abc " + hebrew + " def\nghi";
    QTest::newRow("a right-to-left line") << hebrew + " abc " + arabic + "\n" + hebrew;
    QTest::newRow("numbers in right-to-left text") << arabic + " 123 " + arabic;
    QTest::newRow("wrapped mixed line") << (hebrew + " lorem ipsum ").repeated(12);
    QTest::newRow("long right-to-left line") << (hebrew + " lorem ipsum ").repeated(300);
}

// Left and Right, alone, with Shift and with Ctrl, through right-to-left and
// mixed lines: the caret and anchor must agree with the stock box's.
void TestTextViewDiff::arrowsInRightToLeftLines()
{
    QFETCH(QString, page);
    Boxes boxes(page);
    QPlainTextEdit &stock = boxes.stock;
    TextView &view = boxes.view;
    const Qt::KeyboardModifiers modifiers[] = {Qt::NoModifier, Qt::ShiftModifier,
                                               Qt::ControlModifier};
    for (const Qt::KeyboardModifiers modifier : modifiers) {
        for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Left}) {
            for (int step = 0; step < std::min<int>(page.size() + 2, 300); ++step) {
                QTest::keyClick(&stock, key, modifier);
                QTest::keyClick(&view, key, modifier);
                const QTextCursor cursor = stock.textCursor();
                QVERIFY2(view.model().caret() == cursor.position() &&
                             view.model().anchor() == cursor.anchor(),
                         qPrintable(QString("%1 with %2, step %3: caret %4 anchor %5, stock %6 %7")
                                        .arg(key == Qt::Key_Right ? "Right" : "Left")
                                        .arg(int(modifier))
                                        .arg(step)
                                        .arg(view.model().caret())
                                        .arg(view.model().anchor())
                                        .arg(cursor.position())
                                        .arg(cursor.anchor())));
            }
        }
    }
    // A selection collapses to the end the arrow points to.
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Left}) {
        for (const int line : {0, int(page.indexOf('\n')) + 1}) {
            if (line + 6 > page.size())
                continue;
            view.model().setSelection(line + 6, line + 2);
            QTextCursor cursor = stock.textCursor();
            cursor.setPosition(line + 2);
            cursor.setPosition(line + 6, QTextCursor::KeepAnchor);
            stock.setTextCursor(cursor);
            QTest::keyClick(&stock, key);
            QTest::keyClick(&view, key);
            QCOMPARE(view.model().caret(), stock.textCursor().position());
            QCOMPARE(view.model().anchor(), stock.textCursor().anchor());
        }
    }
}

void TestTextViewDiff::caretMotionAsTheStockBox_data()
{
    QTest::addColumn<QString>("page");
    QRandomGenerator random(7);
    QTest::newRow("random page") << randomPage(random).left(600);
    QTest::newRow("marks and pairs")
        << QString::fromUtf8("cafe\u0301 x\U0001F600y\na\u0308\u0301b \U0001F44D\U0001F3FD!\n");
    QTest::newRow("breaks and spaces") << QString("\n\n  a  \n\tb\t\n");
    QTest::newRow("punctuation") << QString("x=1; y=(2+3)*4.5, \"z\"...\n");
    QTest::newRow("tags and apostrophes") << QString::fromUtf8("<b>l'\u00e9cole</b> it's\n");
}

void TestTextViewDiff::undoAsTheStockBox_data()
{
    // One key each: letters and spaces are typed; < > ^ $ move the caret
    // (Left, Right, Home, End), { } select (Shift+Left, Shift+Right); B is
    // Backspace, D Delete, W Ctrl+Backspace, N Return, X Ctrl+X, V Ctrl+V.
    QTest::addColumn<QString>("keys");
    for (const char *keys : {"ab<<<<>>>>c", "abBc", "BBD",  "a b",      "abNcd", "abVcd", "{{ab",
                             "ab<>c",       "VV",   "D<D",  "B>B",      "abBBB", "{{XB",  "{{BB",
                             "}}}Vx",       "}}N",  "ab{{", "e\u0301B", "$DD",   "$>BB",  "BW"})
        QTest::newRow(keys) << QString::fromUtf8(keys);
}

// Keys on both boxes, then every step undone and redone: the text, caret
// and anchor as in the stock box after each, so the steps group alike.
void TestTextViewDiff::undoAsTheStockBox()
{
    QFETCH(QString, keys);
    QApplication::clipboard()->setText("CL");
    Boxes boxes(QString::fromUtf8("0123456789 l'\u00e9cole <b>x</b>\nline two\n"));
    for (QWidget *box :
         {static_cast<QWidget *>(&boxes.stock), static_cast<QWidget *>(&boxes.view)}) {
        QTest::keyClick(box, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(box, Qt::Key_Right);
        for (const QChar key : keys) {
            static const QHash<QChar, QKeyCombination> named = {{'<', Qt::Key_Left},
                                                                {'>', Qt::Key_Right},
                                                                {'^', Qt::Key_Home},
                                                                {'$', Qt::Key_End},
                                                                {'{', Qt::SHIFT | Qt::Key_Left},
                                                                {'}', Qt::SHIFT | Qt::Key_Right},
                                                                {'B', Qt::Key_Backspace},
                                                                {'D', Qt::Key_Delete},
                                                                {'W', Qt::CTRL | Qt::Key_Backspace},
                                                                {'N', Qt::Key_Return},
                                                                {'X', Qt::CTRL | Qt::Key_X},
                                                                {'V', Qt::CTRL | Qt::Key_V}};
            if (named.contains(key))
                QTest::keyClick(box, named[key].key(), named[key].keyboardModifiers());
            else
                QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(key), {});
        }
    }
    // Empty when both boxes agree, else what differs.
    const auto differs = [&boxes](const QString &after) {
        const QTextCursor stock = boxes.stock.textCursor();
        if (boxes.model.text().text() == boxes.stock.toPlainText() &&
            boxes.model.caret() == stock.position() && boxes.model.anchor() == stock.anchor())
            return QString();
        return QString("after %1: caret %2, anchor %3; stock %4, %5")
            .arg(after)
            .arg(boxes.model.caret())
            .arg(boxes.model.anchor())
            .arg(stock.position())
            .arg(stock.anchor());
    };
    QString difference = differs("the keys");
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    for (int undone = 1; boxes.stock.document()->isUndoAvailable() || boxes.model.canUndo();
         ++undone) {
        QTest::keyClick(&boxes.stock, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&boxes.view, Qt::Key_Z, Qt::ControlModifier);
        difference = differs(QString("undo %1").arg(undone));
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QVERIFY(undone < 50);
    }
    for (const QKeyCombination redo : {Qt::CTRL | Qt::Key_Y, Qt::CTRL | Qt::SHIFT | Qt::Key_Z}) {
        QTest::keyClick(&boxes.stock, redo.key(), redo.keyboardModifiers());
        QTest::keyClick(&boxes.view, redo.key(), redo.keyboardModifiers());
        difference = differs("a redo");
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }
}

// Character and word moves, and what Backspace erases, as pure functions,
// against the stock box's keys from every position.
void TestTextViewDiff::caretMotionAsTheStockBox()
{
    QFETCH(QString, page);
    Boxes boxes(page);
    QPlainTextEdit &stock = boxes.stock;
    const PieceTree &text = boxes.model.text();
    const struct
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int (*move)(const PieceTree &, int);
    } moves[] = {
        {Qt::Key_Right, {}, CaretMotion::characterRight},
        {Qt::Key_Left, {}, CaretMotion::characterLeft},
        {Qt::Key_Right, Qt::ControlModifier, CaretMotion::wordRight},
        {Qt::Key_Left, Qt::ControlModifier, CaretMotion::wordLeft},
        {Qt::Key_Backspace, {}, CaretMotion::erasedBefore},
    };
    for (int position = 0; position <= text.length(); ++position) {
        if (position < text.length() && text.at(position).isLowSurrogate())
            continue; // no caret stands inside a pair
        for (const auto &move : moves) {
            QTextCursor cursor = stock.textCursor();
            cursor.setPosition(position);
            stock.setTextCursor(cursor);
            QTest::keyClick(&stock, move.key, move.modifiers);
            QVERIFY2(move.move(text, position) == stock.textCursor().position(),
                     qPrintable(QString("%1 from %2: %3, stock box %4")
                                    .arg(QKeySequence(move.key | move.modifiers).toString())
                                    .arg(position)
                                    .arg(move.move(text, position))
                                    .arg(stock.textCursor().position())));
            if (stock.toPlainText() != page)
                stock.undo();
        }
        // What a double click selects.
        QTextCursor word = stock.textCursor();
        word.setPosition(position);
        word.select(QTextCursor::WordUnderCursor);
        const auto [from, to] = CaretMotion::wordAt(text, position);
        QVERIFY2(from == word.anchor() && to == word.position(),
                 qPrintable(QString("word at %1: %2-%3, stock box %4-%5")
                                .arg(position)
                                .arg(from)
                                .arg(to)
                                .arg(word.anchor())
                                .arg(word.position())));
    }
}

QTEST_MAIN(TestTextViewDiff)
#include "tst_textviewdiff.moc"
