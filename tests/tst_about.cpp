#include <QAction>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "testsupport.h"
#include "ui/twips.h"
#include "ui/windowregistry.h"
#include "ui/wrappingbutton.h"

// The help and information windows: FAQ, contact message and the two about windows.
class TestAbout : public QObject
{
    Q_OBJECT

private:
    static QWidget *open(TestSupport::Program &program, const char *entry, const char *window)
    {
        program.entry(entry)->trigger();
        return TestSupport::findWindow(program.windows(), window);
    }

    static QLabel *label(QWidget *window, const QString &name)
    {
        return window->findChild<QLabel *>(name);
    }

    // Wrapped at word boundaries within the box, the text shows whole.
    static bool fits(QWidget *box, const QFont &font, const QString &text,
                     int flags = Qt::AlignLeft | Qt::AlignTop)
    {
        const QRect area = box->contentsRect();
        return area.contains(QFontMetrics(font).boundingRect(area, flags | Qt::TextWordWrap, text));
    }

private slots:
    void faq()
    {
        const QStringList answers{
            "A good free host that we suggest would have to be https://neocities.org",
            "The reason is most likely because the images you are using are not in the same "
            "directory. Change the HTML to the correct directory.",
            "We suggest Imgur - It's free, fast, and reliable.",
            "The HTML code <BR> means a break, which is a break down one line.  If you have "
            "<BR><BR> that will put an empty line on your site. You can use several of these to "
            "place text up and down your site. In TAGLOOM and normal HTML scripting, empty lines "
            "do not mean anything, you must use the <BR> command"};
        TestSupport::Program program;
        QPointer<QWidget> faq = open(program, "faq", "faqForm");
        QLabel *answer = label(faq, "Label1");
        const QString initial = answer->text();
        QVERIFY(fits(answer, answer->font(), initial));
        for (WrappingButton *button : faq->findChildren<WrappingButton *>())
            QVERIFY2(fits(button, button->captionFont(), button->text(), Qt::AlignCenter),
                     qPrintable(button->text()));

        // Each answer replaces what was shown; its tags show as written, not as line breaks.
        QCOMPARE(answer->textFormat(), Qt::PlainText);
        for (int question : {0, 0, 2, 1, 3, 1, 0, 3}) {
            QTest::mouseClick(faq->findChild<QPushButton *>(QString("Command%1").arg(question + 1)),
                              Qt::LeftButton);
            QCOMPARE(answer->text(), answers.at(question));
            QVERIFY(fits(answer, answer->font(), answers.at(question)));
        }
        // The answer stays while the window is open, not after it is closed.
        QCOMPARE(open(program, "faq", "faqForm"), faq.data());
        QCOMPARE(answer->text(), answers.at(3));
        faq->close();
        QTRY_VERIFY(faq.isNull());
        QCOMPARE(label(open(program, "faq", "faqForm"), "Label1")->text(), initial);
    }

    void contactMessage()
    {
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.entry("contact")->trigger();
        QCOMPARE(boxes.shown().size(), 1);
        const MessageBox::Message message = boxes.shown().first();
        QCOMPARE(message.title, QString("Contact"));
        const QString prefix = "If you want to contact us for information, questions, or help, "
                               "please e-mail ";
        const QString suffix = " and title the E-mail: Tagloom";
        QVERIFY2(message.text.startsWith(prefix) && message.text.endsWith(suffix),
                 qPrintable(message.text));

        // The same address as the FAQ window's first text.
        const QString email = message.text.mid(prefix.size()).chopped(suffix.size());
        QVERIFY(email.contains('@') && email.endsWith(".example"));
        QCOMPARE(label(open(program, "faq", "faqForm"), "Label1")->text(),
                 "For more information contact Korvanetech at " + email);
    }

    void aboutTagloom()
    {
        TestSupport::Program program;
        QWidget *about = open(program, "about", "AboutHTML");
        QCOMPARE(label(about, "Label1")->text(), QString("Tagloom v1"));
        QCOMPARE(QFontInfo(label(about, "Label1")->font()).family(),
                 TestSupport::shownFamily("Arial", "DejaVu Sans"));
        // The rectangle's top edge shows through below the title.
        QVERIFY(!label(about, "Label1")->autoFillBackground());
        auto *shape = about->findChild<QFrame *>("Shape1");
        QCOMPARE(shape->frameShape(), QFrame::Box);
        // The rectangle frames the product line and the web address, each shown whole.
        for (const char *name : {"Label2", "Label3"}) {
            QLabel *inside = label(about, name);
            QVERIFY2(!inside->text().isEmpty() && fits(inside, inside->font(), inside->text()),
                     name);
            QVERIFY2(shape->geometry().adjusted(1, 1, -1, -1).contains(inside->geometry()), name);
        }
        QVERIFY(label(about, "Label3")->text().endsWith(".example"));
    }

    void aboutKorvaneTech()
    {
        TestSupport::Program program;
        const QString address = label(open(program, "about", "AboutHTML"), "Label3")->text();
        QWidget *about = open(program, "korvanetech", "AboutKorvaneTech");
        QCOMPARE(label(about, "Label2")->text(), QString("KorvaneTechnologies"));
        QVERIFY(label(about, "Label2")->font().pointSizeF() >= 10); // large type, shrunk to fit
        QCOMPARE(QFontInfo(label(about, "Label2")->font()).family(),
                 TestSupport::shownFamily("MS Sans Serif", "DejaVu Sans"));
        QCOMPARE(label(about, "Label4")->text(),
                 "KorvaneTech provides great programming services at no cost. Just check out " +
                     address);

        // The row reads as the address, each part whole left of the label over the rest of it.
        const QStringList row{"Label1", "Label2", "Label3"};
        QString read;
        for (int i = 0; i < row.size(); ++i) {
            QLabel *part = label(about, row.at(i));
            const int right =
                i + 1 < row.size() ? label(about, row.at(i + 1))->x() : about->width();
            QVERIFY2(part->x() + part->fontMetrics().horizontalAdvance(part->text()) <= right,
                     qPrintable(part->text()));
            read += part->text();
        }
        QCOMPARE(read.toLower(), address.toLower());

        // Overlapping controls: the upper one, opaque when a label, hides the lower.
        const QList<std::pair<QPoint, QString>> stacking{
            {{3600, 1000}, "Label4"}, {{2000, 600}, "Line1"},  {{1200, 600}, "Line1"},
            {{3600, 400}, "Label3"},  {{1200, 400}, "Label2"}, {{600, 400}, "Label1"}};
        for (const auto &[twips, topmost] : stacking) {
            QWidget *hit = about->childAt(Twips::point(twips.x(), twips.y()));
            QVERIFY(hit);
            QCOMPARE(hit->objectName(), topmost);
            if (auto *upper = qobject_cast<QLabel *>(hit))
                QVERIFY(upper->autoFillBackground());
        }
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
