// What the text view offers beyond keys: input methods, its menu, the primary
// selection, a screen reader's view of it, and how it draws.
#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QStyleHints>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <QWindow>

#include <cstring>
#include <memory>

#include "editor/view/textview.h"
#include "testsupport.h"

namespace {

std::unique_ptr<TextView> shownView(const QString &text)
{
    // The view observes a model it does not own; this one goes with the view.
    auto *model = new TextModel;
    auto view = std::make_unique<TextView>(*model);
    model->setParent(view.get());
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view->resize(300, 200);
    view->model().setText(text);
    view->show();
    return view;
}

// How many pixels of the view's text area differ from its background.
int inkedPixels(TextView &view)
{
    const QRgb base = view.palette().color(QPalette::Base).rgb();
    return TestSupport::countPixels(view.viewport()->grab().toImage(),
                                    [base](QPoint, QRgb pixel) { return pixel != base; });
}

int highlightedPixels(TextView &view)
{
    const QRgb highlight = view.palette().color(QPalette::Highlight).rgb();
    return TestSupport::countPixels(view.viewport()->grab().toImage(),
                                    [highlight](QPoint, QRgb pixel) { return pixel == highlight; });
}

// A point in the viewport over the left of the character at `position` on
// the first row.
QPoint pointOver(TextView &view, int position)
{
    QPoint point(0, 8);
    while (point.x() < view.viewport()->width() &&
           view.positionAt(view.viewport()->mapTo(&view, point)) < position)
        point.rx() += 1;
    return point + QPoint(1, 0);
}

// With the focus, so that the selection and the caret show.
QImage focusedPicture(TextView &view)
{
    view.activateWindow();
    view.setFocus();
    if (!QTest::qWaitFor([&view] { return view.hasFocus(); }))
        QTest::qFail("The view never took the focus", __FILE__, __LINE__);
    return view.viewport()->grab().toImage();
}

// Counts the paint events a widget gets.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

class TestTextView : public QObject
{
    Q_OBJECT

private slots:
    void inputMethodCommitAndPreedit();
    void inputMethodQueries();
    void contextMenuEntries_data();
    void contextMenuEntries();
    void primarySelection();
    void clipboardKeepsEveryCharacter();
    void textFromOutsideTakesThePageBreak_data();
    void textFromOutsideTakesThePageBreak();
    void accessibleText();
    void accessibleItemsAsQt_data();
    void accessibleItemsAsQt();
    void accessibleLongLineInPieces();
    void controlCharactersAreDrawn_data();
    void controlCharactersAreDrawn();
    void controlPicturesDiffer();
    void selectedControlPictureIsHighlighted();
    void selectionHighlightedOnlyWithFocus();
    void darkPalette();
    void scrollBarStaysSteadyOnALongLine();
    void caretStopsBlinkingWhenIdle();
    void farCaretShowsOnTheLastRow_data();
    void farCaretShowsOnTheLastRow();
    void dragAfterDoubleClickGoesByWords_data();
    void dragAfterDoubleClickGoesByWords();
    void dragMovesTheSelection();
    void editsDrawAsAFreshView_data();
    void editsDrawAsAFreshView();
    void dropFromElsewhere_data();
    void dropFromElsewhere();
};

void TestTextView::inputMethodCommitAndPreedit()
{
    auto view = shownView("ab");
    view->model().setSelection(1, 1);
    QInputMethodEvent preedit(QString::fromUtf8("ni"), {});
    QApplication::sendEvent(view.get(), &preedit);
    // Shown in place, not yet part of the text.
    QCOMPARE(view->model().text().text(), QString("ab"));
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("你"));
    QApplication::sendEvent(view.get(), &commit);
    QCOMPARE(view->model().text().text(), QString::fromUtf8("a你b"));
    QCOMPARE(view->model().caret(), 2);
    // A commit that replaces text before the caret, as some methods send.
    QInputMethodEvent replace;
    replace.setCommitString("X", -1, 1);
    QApplication::sendEvent(view.get(), &replace);
    QCOMPARE(view->model().text().text(), QString("aXb"));
    view->model().undo();
    QCOMPARE(view->model().text().text(), QString::fromUtf8("a你b"));
}

void TestTextView::inputMethodQueries()
{
    auto view = shownView("first line\nsecond line");
    view->model().setSelection(14, 11);
    const QWidget *widget = view.get(); // queried as the input method does
    QVERIFY(widget->inputMethodQuery(Qt::ImEnabled).toBool());
    QCOMPARE(widget->inputMethodQuery(Qt::ImSurroundingText).toString(), QString("second line"));
    QCOMPARE(widget->inputMethodQuery(Qt::ImCursorPosition).toInt(), 3);
    QCOMPARE(widget->inputMethodQuery(Qt::ImAnchorPosition).toInt(), 0);
    QCOMPARE(widget->inputMethodQuery(Qt::ImCurrentSelection).toString(), QString("sec"));
    // The candidate window goes next to the caret: on the second row, inside the box.
    const QRect caret = widget->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    const QRect first = (view->model().setSelection(0, 0), view->caretRect());
    QVERIFY(view->rect().contains(caret));
    QVERIFY(caret.top() > first.top());
    QVERIFY(caret.left() > first.left());
}

void TestTextView::contextMenuEntries_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("undoable");
    QTest::addColumn<QStringList>("enabled");
    const QStringList always = {"edit-paste", "select-all", "find-replace"};
    QTest::newRow("nothing selected, nothing done") << 0 << false << always;
    QTest::newRow("a selection") << 2 << false
                                 << QStringList{"edit-cut",    "edit-copy",  "edit-paste",
                                                "edit-delete", "select-all", "find-replace"};
    QTest::newRow("after an edit")
        << 0 << true << QStringList{"edit-undo", "edit-paste", "select-all", "find-replace"};
}

void TestTextView::contextMenuEntries()
{
    QFETCH(int, selected);
    QFETCH(bool, undoable);
    QFETCH(QStringList, enabled);
    auto view = shownView("some text");
    QApplication::clipboard()->setText("pasted");
    if (undoable) {
        view->model().replaceSelection(u"x");
        view->model().setSelection(0, 0);
    }
    view->model().setSelection(selected, 0);
    std::unique_ptr<QMenu> menu(view->createContextMenu(nullptr));
    QStringList names;
    QStringList on;
    for (QAction *action : menu->actions()) {
        if (action->isSeparator())
            continue;
        names.append(action->objectName());
        if (action->isEnabled())
            on.append(action->objectName());
    }
    QCOMPARE(names, (QStringList{"edit-undo", "edit-redo", "edit-cut", "edit-copy", "edit-paste",
                                 "edit-delete", "select-all", "find-replace"}));
    QCOMPARE(on, enabled);
    // The menu opens on the box's own event, at the mouse.
    bool opened = false;
    QTimer::singleShot(0, view.get(), [&opened] {
        if (QWidget *popup = QApplication::activePopupWidget()) {
            opened = true;
            popup->close();
        }
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                            view->mapToGlobal(QPoint(10, 10)));
    QApplication::sendEvent(view->viewport(), &event);
    QTRY_VERIFY(opened);
}

void TestTextView::primarySelection()
{
    QClipboard *clipboard = QApplication::clipboard();
    if (!clipboard->supportsSelection())
        QSKIP("this platform has no primary selection");
    auto view = shownView("alpha beta");
    view->setFocus();
    // Selecting publishes; a middle click pastes it where it lands.
    QTest::keyClick(view.get(), Qt::Key_End, Qt::ShiftModifier);
    QTRY_COMPARE(clipboard->text(QClipboard::Selection), QString("alpha beta"));
    clipboard->setText("primary", QClipboard::Selection);
    QTest::mouseClick(view->viewport(), Qt::MiddleButton, {}, QPoint(2, 8));
    QCOMPARE(view->model().text().text(), QString("primaryalpha beta"));
}

void TestTextView::clipboardKeepsEveryCharacter()
{
    const QString text = QString("a") + QChar(0xA0) + "b" + QChar(0x2029) + "c\r" + QChar(0xFDD0);
    auto view = shownView(text);
    view->selectAll();
    view->copy();
    QCOMPARE(QApplication::clipboard()->text(), text);
    view->model().setSelection(int(text.size()), int(text.size()));
    view->paste();
    // Pasted, the lone CR is a line break, as in Qt's own boxes.
    QCOMPARE(view->model().text().text(), text + QString(text).replace('\r', '\n'));
}

void TestTextView::textFromOutsideTakesThePageBreak_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    // clang-format off
    for (const char *way : {"paste", "drop", "input method"}) {
        QTest::addRow("%s, CR LF", way) << way << "x\r\ny\r\n" << "x\ny\n";
        QTest::addRow("%s, lone CR, CR CR LF, LF CR", way) << way << "\rx\ry\r\r\n\n\r" << "\nx\ny\n\n\n\n";
    }
    // clang-format on
}

// Pasted, dropped or committed by an input method (and from the primary
// selection, which pastes the same way), CR LF and a lone CR are line breaks.
void TestTextView::textFromOutsideTakesThePageBreak()
{
    QFETCH(QString, way);
    QFETCH(QString, text);
    auto view = shownView("[]");
    view->model().setSelection(1, 1);
    QMimeData data;
    data.setText(text);
    const QPoint at = pointOver(*view, 1);
    if (way == "paste") {
        QApplication::clipboard()->setText(text);
        view->paste();
    } else if (way == "drop") {
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(view->viewport(), &enter);
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(view->viewport(), &drop);
    } else {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QApplication::sendEvent(view.get(), &commit);
    }
    QFETCH(QString, expected);
    QCOMPARE(view->model().text().text(), "[" + expected + "]");
}

void TestTextView::accessibleText()
{
    auto view = shownView("one\ntwo three");
    view->model().setSelection(8, 4);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(view.get());
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::EditableText);
    QVERIFY(accessible->state().multiLine);
    QAccessibleTextInterface *text = accessible->textInterface();
    QVERIFY(text);
    QCOMPARE(text->characterCount(), 13);
    QCOMPARE(text->text(4, 7), QString("two"));
    QCOMPARE(text->cursorPosition(), 8);
    QCOMPARE(text->selectionCount(), 1);
    int start = -1;
    int end = -1;
    text->selection(0, &start, &end);
    QCOMPARE(start, 4);
    QCOMPARE(end, 8);
    QCOMPARE(accessible->text(QAccessible::Value), QString("one\ntwo three"));
    // A screen reader moves the caret and reads a character's place.
    text->setCursorPosition(2);
    QCOMPARE(view->model().caret(), 2);
    QVERIFY(text->characterRect(5).isValid());
    QCOMPARE(text->offsetAtPoint(
                 view->mapToGlobal(text->characterRect(5).center() - view->mapToGlobal(QPoint()))),
             5);
    // Reading places while the user types leaves the caret and the run of typing alone.
    TestSupport::type(view.get(), "ab");
    QVERIFY(text->characterRect(0).isValid());
    TestSupport::type(view.get(), "c");
    QCOMPARE(view->model().caret(), 5);
    view->model().undo();
    QCOMPARE(view->model().text().text(), QString("one\ntwo three"));
}

namespace {

enum Side { Before, At, After };

QString item(const QString &text, int start, int end)
{
    return QString("%1 %2 [%3]").arg(start).arg(end).arg(text);
}

// Qt's default answer, which the view's own must equal.
QString qtItem(QAccessibleTextInterface *iface, int side, int offset,
               QAccessible::TextBoundaryType type)
{
    int start = -1;
    int end = -1;
    const int length = iface->characterCount();
    const int at = offset == -1 ? length : offset;
    // Qt's walk goes on for ever at 0 before the first item edge, and at the
    // end after a last word or sentence. The item at 0 runs to the first edge
    // after it; none starts at the end.
    if (side == At && length > 0 && at == 0) {
        iface->QAccessibleTextInterface::textAfterOffset(0, type, &start, &end);
        const int next = start < 0 ? length : start;
        return item(iface->text(0, next), 0, next);
    }
    if (side == At && length > 0 && at == length &&
        (type == QAccessible::WordBoundary || type == QAccessible::SentenceBoundary)) {
        iface->QAccessibleTextInterface::textBeforeOffset(length, type, &start, &end);
        if (end == length)
            return item(QString(), -1, -1);
    }
    QString found;
    if (side == Before)
        found = iface->QAccessibleTextInterface::textBeforeOffset(offset, type, &start, &end);
    else if (side == At)
        found = iface->QAccessibleTextInterface::textAtOffset(offset, type, &start, &end);
    else
        found = iface->QAccessibleTextInterface::textAfterOffset(offset, type, &start, &end);
    // Nothing before the first item: Qt says -1 and 0.
    return item(found, start, start < 0 ? -1 : end);
}

} // namespace

void TestTextView::accessibleItemsAsQt_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QString();
    QTest::newRow("words") << QString(" Hello, world! It's 3.14 -- isn't it?  Yes");
    QTest::newRow("no stop") << QString("one two, three");
    QTest::newRow("lines") << QString("one two\n\n  three\nfour .\n");
    QTest::newRow("CR LF") << QString("a b\r\nc.\r\n\r\nd");
    QTest::newRow("sentences") << QString(
        "Hi there. This is it! Or not? Mr. Smith said \"no.\" End");
    QTest::newRow("surrogates") << QStringLiteral("a \U0001F600 b\U0001F600\U0001F600\n\U0001D4B3y "
                                                  "\U0001F1EB\U0001F1F7\U0001F1E9\U0001F1EA");
    QTest::newRow("marks") << QStringLiteral("e\u0301 cafe\u0301\u0327 \u0303n\u0303o");
    // Longer than what is read at first around an offset.
    QTest::newRow("long line") << QString("Lorem ipsum dolor sit amet, ").repeated(8) + "end. " +
                                      QString(150, 'x') + " tail.\n\n   next";
}

// Every item before, at and after every offset, of every kind, as Qt's
// default answers, which read the whole text.
void TestTextView::accessibleItemsAsQt()
{
    QFETCH(QString, text);
    auto view = shownView(text);
    const int length = int(text.size());
    view->model().setSelection(length / 2, length / 2);
    QAccessibleTextInterface *iface =
        QAccessible::queryAccessibleInterface(view.get())->textInterface();
    for (int type = QAccessible::CharBoundary; type <= QAccessible::NoBoundary; ++type) {
        const auto boundary = QAccessible::TextBoundaryType(type);
        for (int side : {Before, At, After}) {
            for (int offset = -2; offset <= length + 1; ++offset) {
                int start = -1;
                int end = -1;
                const QString found =
                    side == Before ? iface->textBeforeOffset(offset, boundary, &start, &end)
                    : side == At   ? iface->textAtOffset(offset, boundary, &start, &end)
                                   : iface->textAfterOffset(offset, boundary, &start, &end);
                // Qt's defaults leave -2, the caret, to the text box.
                const int asked = offset == -2 ? iface->cursorPosition() : offset;
                const QString query = QString("%1 %2 type %3: ").arg(side).arg(offset).arg(type);
                QCOMPARE(query + item(found, start, end),
                         query + qtItem(iface, side, asked, boundary));
            }
        }
    }
}

// A line too long to read whole comes in pieces that follow each other,
// cut after a space where there is one; a sentence as long is read in part,
// up to its end where that is near.
void TestTextView::accessibleLongLineInPieces()
{
    const QString text = QString("word ").repeated(1000) + "Stop. " + QString(3000, 'X') + "\nend";
    auto view = shownView(text);
    QAccessibleTextInterface *iface =
        QAccessible::queryAccessibleInterface(view.get())->textInterface();
    const auto line = QAccessible::LineBoundary;
    int start = -1;
    int end = -1;
    int at = -1;
    int atEnd = -1;
    QString read;
    for (QString piece = iface->textAtOffset(0, line, &start, &end); start >= 0;
         piece = iface->textAfterOffset(start, line, &start, &end)) {
        QCOMPARE(start, read.size());
        QCOMPARE(piece, text.mid(start, end - start));
        QVERIFY(piece.size() <= 2048 && (end > 5000 || piece.endsWith(' ')));
        QCOMPARE(iface->textAtOffset(end - 1, line, &at, &atEnd), piece);
        if (end < text.size())
            QCOMPARE(iface->textBeforeOffset(end, line, &at, &atEnd), piece);
        read += piece;
    }
    QCOMPARE(read, text);
    const QString sentence = iface->textAtOffset(2500, QAccessible::SentenceBoundary, &at, &atEnd);
    QVERIFY(sentence.size() <= 2048 && at < 2500 && atEnd > 2500);
    iface->textAtOffset(5002, QAccessible::SentenceBoundary, &at, &atEnd);
    QCOMPARE(atEnd, 5006);
}

void TestTextView::controlCharactersAreDrawn_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("NUL") << QString(QChar(0));
    QTest::newRow("lone CR") << QString("\r");
    QTest::newRow("escape") << QString("\x1B");
    QTest::newRow("line separator") << QString(QChar(0x2028));
    QTest::newRow("paragraph separator") << QString(QChar(0x2029));
    QTest::newRow("lone surrogate") << QString(QChar(0xD800));
}

void TestTextView::controlCharactersAreDrawn()
{
    QFETCH(QString, text);
    auto view = shownView(text);
    view->clearFocus(); // no caret in the picture
    QVERIFY(inkedPixels(*view) > 4);
    auto empty = shownView(QString());
    QCOMPARE(inkedPixels(*empty), 0);
}

// Whether or not the font has glyphs for the pictures, no two look alike.
void TestTextView::controlPicturesDiffer()
{
    const QString characters = QString("\x01\x02\r") + QChar(0x2028);
    QList<QImage> pictures;
    for (const QChar character : characters) {
        auto view = shownView(character);
        view->clearFocus();
        pictures.append(view->viewport()->grab().toImage());
    }
    for (int i = 0; i < pictures.size(); ++i) {
        for (int j = i + 1; j < pictures.size(); ++j)
            QVERIFY2(pictures[i] != pictures[j], qPrintable(QString("%1 and %2").arg(i).arg(j)));
    }
}

// A picture the box draws itself keeps the selection's highlight under it.
void TestTextView::selectedControlPictureIsHighlighted()
{
    auto view = shownView(QString("a\x01b"));
    focusedPicture(*view);
    view->model().setSelection(2, 1);
    QTRY_VERIFY(highlightedPixels(*view) > 0);
}

void TestTextView::selectionHighlightedOnlyWithFocus()
{
    auto view = shownView("selected text");
    QLineEdit other(view.get());
    other.move(200, 150);
    other.show();
    view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(view.get()));
    view->model().setSelection(8, 0);
    view->setFocus();
    QTRY_VERIFY(view->hasFocus());
    QTRY_VERIFY(highlightedPixels(*view) > 50);
    other.setFocus();
    QTRY_VERIFY(!view->hasFocus());
    QTRY_COMPARE(highlightedPixels(*view), 0);
    QCOMPARE(view->model().selectedText(), QString("selected"));
}

void TestTextView::darkPalette()
{
    auto view = shownView("text");
    QPalette dark = view->palette();
    dark.setColor(QPalette::Base, Qt::black);
    dark.setColor(QPalette::Text, Qt::white);
    view->setPalette(dark);
    view->clearFocus();
    const QImage image = view->viewport()->grab().toImage();
    QVERIFY(TestSupport::countPixels(image, [](QPoint, QRgb pixel) { return qGray(pixel) > 200; }) >
            10);
    QCOMPARE(image.pixel(image.width() - 2, image.height() - 2), QColor(Qt::black).rgb());
}

// The scroll bar counts characters, so its range is known before the rows of
// a long line are: it neither jumps nor shrinks while the view scrolls.
void TestTextView::scrollBarStaysSteadyOnALongLine()
{
    const QString line = QString("<b>lorem</b> ipsum dolor sit amet, ").repeated(60000);
    auto view = shownView(line);
    QScrollBar *bar = view->verticalScrollBar();
    const int maximum = bar->maximum();
    QVERIFY(maximum > int(line.size()) * 9 / 10);
    int last = bar->value();
    for (int step = 0; step < 200; ++step) {
        QWheelEvent wheel(QPointF(50, 50), view->mapToGlobal(QPointF(50, 50)), QPoint(),
                          QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &wheel);
        QVERIFY(bar->value() > last);
        QCOMPARE(bar->maximum(), maximum);
        last = bar->value();
    }
    // Dragged anywhere, the first row shown starts within a row of the thumb.
    for (const int at : {maximum / 2, maximum / 3, maximum - 10, 100}) {
        bar->setSliderPosition(at);
        const int first = view->positionAt(view->viewport()->pos() + QPoint(5, 5));
        QVERIFY2(first <= at && at - first < 200, qPrintable(QString::number(at - first)));
        QCOMPARE(bar->maximum(), maximum);
    }
}

// Ten blinks after the last key or click the caret stays shown and nothing
// repaints; a key wakes it again.
void TestTextView::caretStopsBlinkingWhenIdle()
{
    QStyleHints *hints = QGuiApplication::styleHints();
    const auto restore = qScopeGuard(
        [hints, flash = hints->cursorFlashTime()] { hints->setCursorFlashTime(flash); });
    const int flash = 40;
    hints->setCursorFlashTime(flash);
    auto view = shownView("blinking");
    focusedPicture(*view);
    PaintCounter counter;
    view->viewport()->installEventFilter(&counter);
    // Blinking: the caret is painted away and back, over and over.
    QTRY_VERIFY(counter.paints >= 2);
    // Then it stops: no paint for the time of several blinks.
    const auto quietFor = [&counter](int milliseconds) {
        counter.paints = 0;
        return !QTest::qWaitFor([&counter] { return counter.paints > 0; }, milliseconds);
    };
    QTRY_VERIFY_WITH_TIMEOUT(quietFor(5 * flash), 40 * flash);
    // Stopped with the caret drawn.
    const QRect caret = view->caretRect().translated(-view->viewport()->pos());
    const QRgb base = view->palette().color(QPalette::Base).rgb();
    QVERIFY(TestSupport::countPixels(view->viewport()->grab().toImage(),
                                     [caret, base](QPoint at, QRgb pixel) {
                                         return caret.contains(at) && pixel != base;
                                     }) > 0);
    // A key wakes it.
    QTest::keyClick(view.get(), Qt::Key_Shift);
    counter.paints = 0;
    QTRY_VERIFY(counter.paints >= 2);
}

void TestTextView::farCaretShowsOnTheLastRow_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("words") << QString("<b>lorem</b> ipsum dolor sit amet, ").repeated(30000);
    QTest::newRow("no break opportunity") << QString(1 << 20, QLatin1Char('A'));
}

// A caret put far down a long line shows on the last row shown whole, as in
// Qt's own box, though the rows there were wrapped from a guessed start.
void TestTextView::farCaretShowsOnTheLastRow()
{
    QFETCH(QString, line);
    auto view = shownView(line);
    view->resize(300, 600); // more rows than a far jump wraps ahead of the caret
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    for (const int at : {int(line.size()) / 2 + 1, int(line.size()) / 3, int(line.size()) - 90}) {
        view->model().setSelection(0, 0);
        QApplication::processEvents();
        view->model().setSelection(at, at);
        QApplication::processEvents();
        // The rows as drawn, found from the top, against where the caret is said to be.
        const int height = view->caretRect().height();
        const int y = (view->viewport()->height() / height - 1) * height + height / 2;
        const int first = view->positionAt(view->viewport()->mapTo(view.get(), QPoint(0, y)));
        const int last = view->positionAt(
            view->viewport()->mapTo(view.get(), QPoint(view->viewport()->width() - 1, y)));
        QVERIFY2(first <= at && at <= last, qPrintable(QString("%1 %2").arg(first).arg(last)));
        QCOMPARE(view->caretRect().top(),
                 view->viewport()->mapTo(view.get(), QPoint(0, y - height / 2)).y());
    }
}

void TestTextView::dragAfterDoubleClickGoesByWords_data()
{
    QTest::addColumn<int>("to"); // the character dragged to
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("anchor");
    // "alpha beta gamma delta": "beta" is double-clicked. The free end goes
    // to the nearer edge of the word dragged onto.
    QTest::newRow("into a later word") << 21 << 22 << 6;
    QTest::newRow("into an earlier word") << 2 << 0 << 10;
    QTest::newRow("within the word") << 8 << 10 << 6;
    QTest::newRow("on into the next word") << 15 << 16 << 6;
}

void TestTextView::dragAfterDoubleClickGoesByWords()
{
    QFETCH(int, to);
    QFETCH(int, caret);
    QFETCH(int, anchor);
    auto view = shownView("alpha beta gamma delta");
    QWidget *viewport = view->viewport();
    const QPoint word = pointOver(*view, 7);
    TestSupport::sendMouse(viewport, QEvent::MouseButtonPress, word);
    TestSupport::sendMouse(viewport, QEvent::MouseButtonRelease, word);
    TestSupport::sendMouse(viewport, QEvent::MouseButtonDblClick, word);
    QCOMPARE(view->model().selectedText(), QString("beta"));
    TestSupport::sendMouse(viewport, QEvent::MouseMove, pointOver(*view, to));
    QCOMPARE(view->model().caret(), caret);
    QCOMPARE(view->model().anchor(), anchor);
    TestSupport::sendMouse(viewport, QEvent::MouseButtonRelease, pointOver(*view, to));
    // After the release, a click and a drag select by characters again.
    TestSupport::sendMouse(viewport, QEvent::MouseButtonPress, pointOver(*view, 1));
    TestSupport::sendMouse(viewport, QEvent::MouseButtonRelease, pointOver(*view, 1));
    TestSupport::sendMouse(viewport, QEvent::MouseButtonPress, pointOver(*view, 1));
    TestSupport::sendMouse(viewport, QEvent::MouseMove, pointOver(*view, 3));
    QCOMPARE(view->model().selectedText(), QString("lp"));
}

// A real drag under X11: the selection picked up and dropped further on
// moves there, as one undo step.
void TestTextView::dragMovesTheSelection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("drags need a window system");
    auto view = shownView("alpha beta gamma delta");
    view->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(view.get()));
    view->model().setSelection(10, 6); // "beta"
    QWidget *viewport = view->viewport();
    QWindow *window = view->windowHandle();
    const QPoint from = viewport->mapTo(view.get(), pointOver(*view, 7));
    const QPoint to = viewport->mapTo(view.get(), pointOver(*view, 19));
    // The drag runs its own event loop; the mouse goes on from inside it.
    QTimer::singleShot(100, view.get(), [window, from, to] {
        QTest::mouseMove(window, (from + to) / 2);
        QTest::mouseMove(window, to);
        QTest::mouseRelease(window, Qt::LeftButton, {}, to);
    });
    QTest::mousePress(window, Qt::LeftButton, {}, from);
    QTest::mouseMove(window, from + QPoint(QApplication::startDragDistance() + 2, 0));
    QTRY_COMPARE(view->model().text().text(), QString("alpha  gamma debetalta"));
    view->model().undo();
    QCOMPARE(view->model().text().text(), QString("alpha beta gamma delta"));
}

void TestTextView::editsDrawAsAFreshView_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("at"); // where the edits go
    const QString words = QString("<b>lorem</b> ipsum dolor sit amet, ").repeated(600);
    QTest::newRow("short lines") << QString("<p>lorem ipsum dolor sit amet</p>\n").repeated(40)
                                 << 300;
    QTest::newRow("wrapped short lines")
        << QString("<p>lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do</p>\n")
               .repeated(40)
        << 2 * 72 + 50;
    QTest::newRow("long line of words") << words << 2000;
    QTest::newRow("long line, no break") << QString(20000, QLatin1Char('A')) << 2000;
    QTest::newRow("long line after short ones")
        << QString("short line\n").repeated(30) + words << 2400;
}

// Rows kept, shifted and shaped again across edits, and repainted only where
// they changed, show on screen exactly what a view opened on the edited text
// draws.
void TestTextView::editsDrawAsAFreshView()
{
    QFETCH(QString, page);
    QFETCH(int, at);
    QStyleHints *hints = QGuiApplication::styleHints();
    const auto restore = qScopeGuard(
        [hints, flash = hints->cursorFlashTime()] { hints->setCursorFlashTime(flash); });
    hints->setCursorFlashTime(0); // a caret that stays
    auto view = shownView(page);
    view->verticalScrollBar()->setValue(at - 150);
    focusedPicture(*view);
    int caret = at + 10;
    int anchor = at - 10;
    const auto compare = [&](const char *step) {
        view->model().setSelection(caret, anchor);
        QCoreApplication::processEvents(); // only what the edit and selection repaint
        const QRect area(view->viewport()->mapTo(view.get(), QPoint()), view->viewport()->size());
        const QImage edited = view->screen()
                                  ->grabWindow(view->winId())
                                  .toImage()
                                  .copy(area)
                                  .convertToFormat(QImage::Format_RGB32);
        auto fresh = shownView(view->model().text().text());
        fresh->model().setSelection(caret, anchor);
        fresh->verticalScrollBar()->setValue(view->verticalScrollBar()->value());
        const QImage opened = focusedPicture(*fresh).convertToFormat(QImage::Format_RGB32);
        fresh.reset();
        focusedPicture(*view);
        QCoreApplication::processEvents();
        QCOMPARE(edited.size(), opened.size());
        int y = 0;
        while (y < edited.height() && !memcmp(edited.constScanLine(y), opened.constScanLine(y),
                                              std::size_t(edited.bytesPerLine())))
            ++y;
        QVERIFY2(y == edited.height(),
                 qPrintable(QString("%1: first differs at y %2").arg(step).arg(y)));
    };
    TextModel &model = view->model();
    const auto replace = [&model](int start, int removed, const QString &text) {
        model.setSelection(start + removed, start);
        model.replaceSelection(text);
    };
    replace(at, 0, "x");
    compare("one character");
    for (int i = 1; i <= 30; ++i)
        replace(at + i, 0, "y");
    compare("typed on");
    replace(at - 40, 80, "");
    compare("a stretch removed");
    replace(at + 3, 2, "WW");
    compare("as many characters replaced");
    // The first word of the third row shrinks.
    const int rowStart = view->positionAt(view->viewport()->pos() + QPoint(5, 40));
    replace(rowStart, 6, "");
    compare("the start of a row removed");
    caret = at + 40;
    anchor = at + 30;
    compare("another selection");
    // Away from the caret, only what the edit itself repaints shows it.
    const auto elsewhere = [&model](int start, int removed, const QString &text) {
        model.replace(start, removed, text);
    };
    elsewhere(at + 60, 4, "");
    compare("removed below the caret");
    elsewhere(at + 60, 0, "inserted ");
    compare("inserted below the caret");
    elsewhere(at + 75, 0, "x");
    compare("a character below the caret");
    replace(at, 0, QString("pasted words and more ").repeated(25));
    compare("pasted");
    caret = at + 10;
    anchor = at - 10;
    model.undo();
    compare("undone");
    model.redo();
    compare("redone");
    replace(0, 1, "Z");
    compare("changed above");
    replace(0, 0, QString::fromUtf8("\u05e9\u05dc\u05d5\u05dd "));
    compare("turned right-to-left");
}

namespace {

// A view that takes dropped file names too, through the one place for data.
class FileTakingView : public TextView
{
public:
    explicit FileTakingView(TextModel &model) : TextView(model) {}

protected:
    bool canInsertFromMimeData(const QMimeData *source) const override
    {
        return source->hasUrls() || TextView::canInsertFromMimeData(source);
    }
    void insertFromMimeData(const QMimeData *source) override
    {
        if (!source->hasUrls())
            return TextView::insertFromMimeData(source);
        model().replaceSelection(QString("[%1]").arg(source->urls().constFirst().fileName()));
    }
};

} // namespace

void TestTextView::dropFromElsewhere_data()
{
    QTest::addColumn<bool>("file");
    QTest::addColumn<QString>("expected");
    QTest::newRow("text") << false << "dropped text";
    QTest::newRow("a file, through the hook") << true << "[page.html]text";
}

void TestTextView::dropFromElsewhere()
{
    QFETCH(bool, file);
    TextModel model;
    FileTakingView view(model);
    view.resize(300, 200);
    view.model().setText(file ? "text" : " text");
    view.show();
    QMimeData data;
    if (file)
        data.setUrls({QUrl::fromLocalFile("/tmp/page.html")});
    else
        data.setText("dropped");
    // At the top left, before the first character.
    const QPointF at(2, 5);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(view.viewport(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(view.viewport(), &drop);
    QTEST(view.model().text().text(), "expected");
    view.model().undo();
    QCOMPARE(view.model().text().text(), QString(file ? "text" : " text"));
}

QTEST_MAIN(TestTextView)
#include "tst_textview.moc"
