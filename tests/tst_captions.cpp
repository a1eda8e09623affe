#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <map>

#include "app/mainwindow.h"
#include "files/openform.h"
#include "files/saveform.h"
#include "files/saveform2.h"
#include "find/findreplace.h"
#include "help/abouthtml.h"
#include "help/aboutkorvanetech.h"
#include "help/faqform.h"
#include "markup/addlinkform.h"
#include "markup/addtitle.h"
#include "markup/fxform.h"
#include "markup/mform.h"
#include "markup/palette.h"
#include "markup/piccomp.h"
#include "markup/picinternet.h"
#include "markup/sform.h"
#include "markup/sout.h"
#include "markup/txtsize.h"
#include "testsupport.h"
#include "ui/infolabel.h"
#include "ui/windowregistry.h"
#include "ui/wrappingbutton.h"

// Every caption and placeholder shows whole in its control, at the platform's
// default font and at the common desktop sizes of 10 and 11 pt; the stored
// control rectangles stay as they are.
class TestCaptions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_defaultFont = QApplication::font(); }
    void cleanup() { QApplication::setFont(m_defaultFont); }

    void captionsFit_data();
    void captionsFit();
    void groupsShrinkAlike_data();
    void groupsShrinkAlike();

private:
    using Opener = std::function<QWidget *(WindowRegistry &)>;
    static const std::map<QString, Opener> &openers();
    static void useFontSize(qreal points);
    // Descriptions of the captions in `window` that do not show whole.
    static QStringList clipped(QWidget *window);

    QFont m_defaultFont;
};

const std::map<QString, TestCaptions::Opener> &TestCaptions::openers()
{
    static const std::map<QString, Opener> table = {
        {"Main", [](WindowRegistry &w) { return w.find<Main>(); }},
        {"AboutHTML", [](WindowRegistry &w) { return w.show<AboutHtml>(); }},
        {"AboutKorvaneTech", [](WindowRegistry &w) { return w.show<AboutKorvaneTech>(); }},
        {"addlinkform", [](WindowRegistry &w) { return w.show<AddLinkForm>(); }},
        {"addtitle", [](WindowRegistry &w) { return w.show<AddTitle>(); }},
        {"bgcolor", [](WindowRegistry &w) { return w.show<BgColor>(); }},
        {"faqForm", [](WindowRegistry &w) { return w.show<FaqForm>(); }},
        {"findreplace", [](WindowRegistry &w) { return w.show<FindReplace>(); }},
        {"fxform", [](WindowRegistry &w) { return w.show<FxForm>(); }},
        {"mform", [](WindowRegistry &w) { return w.show<MForm>(); }},
        {"openform", [](WindowRegistry &w) { return w.show<OpenForm>(); }},
        {"piccomp", [](WindowRegistry &w) { return w.show<PicComp>(); }},
        {"picinternet", [](WindowRegistry &w) { return w.show<PicInternet>(); }},
        {"saveform", [](WindowRegistry &w) { return w.show<SaveForm>(); }},
        {"saveform2", [](WindowRegistry &w) { return w.show<SaveForm2>(); }},
        {"sform", [](WindowRegistry &w) { return w.show<SForm>(); }},
        {"sout", [](WindowRegistry &w) { return w.show<Sout>(); }},
        {"txtsize", [](WindowRegistry &w) { return w.show<TxtSize>(); }},
    };
    return table;
}

void TestCaptions::useFontSize(qreal points)
{
    QFont font = QApplication::font();
    if (points > 0)
        font.setPointSizeF(points);
    QApplication::setFont(font);
}

namespace {

// The part of `widget` that shows: inside its window, and not under an opaque
// sibling stacked above it. A sibling that starts right of it cuts its width,
// one that starts below its top cuts its height.
bool wrappedFits(const QFont &font, const QString &text, const QRect &area, int flags)
{
    return area.contains(QFontMetrics(font).boundingRect(area, flags | Qt::TextWordWrap, text));
}

bool lineFits(const QFont &font, const QString &text, int width)
{
    return QFontMetrics(font).horizontalAdvance(text) <= width;
}

// An edit field shows its text whole when, with the caret at the end, its
// first character stands where an empty field's caret does.
bool editFits(QLineEdit *edit)
{
    const auto start = [edit] {
        edit->grab(); // the field scrolls to the caret when painted
        edit->setCursorPosition(0);
        return edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
    };
    const QString text = edit->text();
    edit->setText(QString());
    const int origin = start();
    edit->setText(text);
    return start() == origin;
}

} // namespace

QStringList TestCaptions::clipped(QWidget *window)
{
    QStringList faults;
    const auto fault = [&faults](const QWidget *control, const QString &text) {
        faults.append(control->objectName() + " \"" + text + "\" at " +
                      QString::number(control->font().pointSizeF()) + " pt");
    };
    for (QWidget *control : window->findChildren<QWidget *>()) {
        if (!control->isVisibleTo(window))
            continue;
        if (auto *button = qobject_cast<WrappingButton *>(control)) {
            if (!wrappedFits(button->captionFont(), button->text(), button->caption().area,
                             Qt::AlignCenter))
                fault(button, button->text());
        } else if (auto *button = qobject_cast<QPushButton *>(control)) {
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            const QRect contents =
                button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            if (!lineFits(button->font(), button->text(), contents.width()))
                fault(button, button->text());
        } else if (auto *button = qobject_cast<QToolButton *>(control)) {
            if (!button->text().isEmpty() &&
                !lineFits(button->font(), button->text(), button->contentsRect().width()))
                fault(button, button->text());
        } else if (auto *label = qobject_cast<InfoLabel *>(control)) {
            if (!wrappedFits(label->captionFont(), label->text(), label->caption().area,
                             Qt::AlignLeft | Qt::AlignTop))
                fault(label, label->text());
        } else if (auto *label = qobject_cast<QLabel *>(control)) {
            if (!lineFits(label->font(), label->text(), label->contentsRect().width()))
                fault(label, label->text());
        } else if (auto *frame = qobject_cast<QGroupBox *>(control)) {
            QStyleOptionGroupBox option;
            option.initFrom(frame);
            option.text = frame->title();
            option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
            const QRect title = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                               QStyle::SC_GroupBoxLabel, frame);
            if (!frame->rect().contains(title) ||
                !lineFits(frame->font(), frame->title(), title.width()))
                fault(frame, frame->title());
        } else if (auto *box = qobject_cast<QComboBox *>(control)) {
            if (box->lineEdit() && !editFits(box->lineEdit()))
                fault(box, box->currentText());
        }
    }
    return faults;
}

void TestCaptions::captionsFit_data()
{
    QTest::addColumn<qreal>("points");
    QTest::addColumn<QString>("window");
    for (qreal points : {0.0, 10.0, 11.0}) {
        const QString size = points > 0 ? QString::number(points) + " pt" : "default font";
        for (const auto &[name, open] : openers())
            QTest::newRow(qPrintable(name + ", " + size)) << points << name;
    }
}

void TestCaptions::captionsFit()
{
    QFETCH(qreal, points);
    QFETCH(QString, window);
    useFontSize(points);
    TestSupport::Program program;
    QWidget *shown = openers().at(window)(program.windows());
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    QStringList faults = clipped(shown);
    // The answers replace the FAQ's first text; each shows whole too.
    if (window == "faqForm") {
        for (auto *question : shown->findChildren<WrappingButton *>()) {
            QTest::mouseClick(question, Qt::LeftButton);
            faults += clipped(shown);
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
}

void TestCaptions::groupsShrinkAlike_data()
{
    QTest::addColumn<qreal>("points");
    QTest::newRow("default font") << 0.0;
    QTest::newRow("10 pt") << 10.0;
    QTest::newRow("11 pt") << 11.0;
}

void TestCaptions::groupsShrinkAlike()
{
    QFETCH(qreal, points);
    useFontSize(points);
    TestSupport::Program program;
    // The four questions in one type.
    QWidget *faq = program.windows().show<FaqForm>();
    QList<qreal> sizes;
    for (auto *question : faq->findChildren<WrappingButton *>())
        sizes.append(question->captionFont().pointSizeF());
    QCOMPARE(sizes.size(), 4);
    QCOMPARE(sizes.count(sizes.first()), 4);
    // The address's lead and trail in one type, the name in the middle
    // shrunk in the same proportion, so the three read as one.
    QWidget *about = program.windows().show<AboutKorvaneTech>();
    const auto size = [about](const char *name) {
        return about->findChild<InfoLabel *>(name)->captionFont().pointSizeF();
    };
    QCOMPARE(size("Label1"), size("Label3"));
    QCOMPARE(size("Label2") / 13.5, size("Label1") / QApplication::font().pointSizeF());
}

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
