#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QTest>

#include "app/mainwindow.h"
#include "app/twips.h"
#include "app/windowregistry.h"
#include "editor/document.h"
#include "testsupport.h"

// The two about windows and the contact message.
class TestAbout : public QObject
{
    Q_OBJECT

private:
    static QWidget *open(TestSupport::Program &program, const char *entry, const char *window)
    {
        program.entry(entry)->trigger();
        return program.windows().find(window);
    }

    static QString label(QWidget *window, const char *name)
    {
        return window->findChild<QLabel *>(name)->text();
    }

    // The maker's web address as the about window for the product gives it.
    static QString webAddress(TestSupport::Program &program)
    {
        return label(open(program, "about", "AboutHTML"), "Label3");
    }

private slots:
    void aboutTagloom()
    {
        TestSupport::Program program;
        QWidget *about = open(program, "about", "AboutHTML");
        auto *title = about->findChild<QLabel *>("Label1");
        QCOMPARE(title->text(), QString("Tagloom v1"));
        QCOMPARE(title->font().pointSizeF(), 14.25);
        QVERIFY(!title->autoFillBackground());

        // The rectangle frames the product line and the web address.
        auto *shape = about->findChild<QFrame *>("Shape1");
        QCOMPARE(shape->geometry(), Twips::rect(480, 600, 3615, 1815));
        QCOMPARE(shape->frameShape(), QFrame::Box);
        QVERIFY(!shape->autoFillBackground());
        for (const char *name : {"Label2", "Label3"}) {
            auto *inside = about->findChild<QLabel *>(name);
            QVERIFY(!inside->text().isEmpty());
            const QRect needed = inside->fontMetrics().boundingRect(
                inside->rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, inside->text());
            QVERIFY2(inside->rect().contains(needed), name);
            QVERIFY2(shape->geometry().adjusted(1, 1, -1, -1).contains(inside->geometry()), name);
        }
        QVERIFY(webAddress(program).endsWith(".example"));
    }

    void aboutKorvaneTechReadsAsTheWebAddress()
    {
        TestSupport::Program program;
        const QString address = webAddress(program);
        QWidget *about = open(program, "korvanetech", "AboutKorvaneTech");

        QCOMPARE(label(about, "Label2"), QString("KorvaneTechnologies"));
        // Large type, made smaller only where a substitute font is too wide to show it whole.
        const qreal nameSize = about->findChild<QLabel *>("Label2")->font().pointSizeF();
        QVERIFY(nameSize <= 13.5 && nameSize >= 10);
        const QString row =
            label(about, "Label1") + label(about, "Label2") + label(about, "Label3");
        QCOMPARE(row.toLower(), address.toLower());
        QCOMPARE(label(about, "Label4"),
                 "KorvaneTech provides great programming services at no cost. Just check out " +
                     address);
    }

    void aboutKorvaneTechRowIsReadable()
    {
        // Each part of the row shows whole in what the label to its right leaves uncovered.
        TestSupport::Program program;
        QWidget *about = open(program, "korvanetech", "AboutKorvaneTech");
        const QStringList row{"Label1", "Label2", "Label3"};
        for (int i = 0; i < row.size(); ++i) {
            auto *part = about->findChild<QLabel *>(row.at(i));
            const int right = i + 1 < row.size() ? about->findChild<QLabel *>(row.at(i + 1))->x()
                                                 : about->width();
            const int needed = part->fontMetrics().horizontalAdvance(part->text());
            QVERIFY2(part->x() + needed <= right, qPrintable(QString("%1 needs %2 px, has %3")
                                                                 .arg(part->text())
                                                                 .arg(needed)
                                                                 .arg(right - part->x())));
        }
    }

    void aboutKorvaneTechStacking_data()
    {
        QTest::addColumn<QPoint>("twips");
        QTest::addColumn<QString>("topmost");
        QTest::newRow("Label4 over Label3") << QPoint(3600, 1000) << "Label4";
        QTest::newRow("Label4 over Label2") << QPoint(2000, 1000) << "Label4";
        QTest::newRow("Line1 over Label2") << QPoint(2000, 600) << "Line1";
        QTest::newRow("Line1 over Label1") << QPoint(1200, 600) << "Line1";
        QTest::newRow("Label3 over Label2") << QPoint(3600, 400) << "Label3";
        QTest::newRow("Label2 over Label1") << QPoint(1200, 400) << "Label2";
        QTest::newRow("Label1 alone") << QPoint(600, 400) << "Label1";
    }

    void aboutKorvaneTechStacking()
    {
        QFETCH(QPoint, twips);
        QFETCH(QString, topmost);
        TestSupport::Program program;
        QWidget *about = open(program, "korvanetech", "AboutKorvaneTech");
        QWidget *hit = about->childAt(Twips::point(twips.x(), twips.y()));
        QVERIFY(hit);
        QCOMPARE(hit->objectName(), topmost);
        // Labels are opaque: the upper one hides what lies below it.
        if (auto *upper = qobject_cast<QLabel *>(hit))
            QVERIFY(upper->autoFillBackground());
    }

    void allOpenTogetherAndEditingGoesOn()
    {
        TestSupport::Program program;
        for (auto [entry, window] : {std::pair{"faq", "faqForm"}, std::pair{"about", "AboutHTML"},
                                     std::pair{"korvanetech", "AboutKorvaneTech"}})
            QVERIFY(open(program, entry, window)->isVisible());
        program.main()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(program.main()));
        TestSupport::type(program.source(), "typed");
        QCOMPARE(program.document().text(), QString("typed"));
        QCOMPARE(program.windows().openWindows(),
                 QStringList({"AboutHTML", "AboutKorvaneTech", "faqForm", "Main"}));
    }

    void contactMessage()
    {
        TestSupport::Program program;
        program.document().setText("page");
        program.document().select(1, 2);
        program.entry("about")->trigger();
        const QStringList open = program.windows().openWindows();

        TestSupport::MessageBoxes boxes;
        program.entry("contact")->trigger();
        QCOMPARE(boxes.shown().size(), 1);
        const MessageBox::Message &message = boxes.shown().first();
        QCOMPARE(message.title, QString("Contact"));
        QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(message.icon, QMessageBox::NoIcon);
        const QString prefix = "If you want to contact us for information, questions, or help, "
                               "please e-mail ";
        const QString suffix = " and title the E-mail: Tagloom";
        QVERIFY2(message.text.startsWith(prefix) && message.text.endsWith(suffix),
                 qPrintable(message.text));

        // Nothing else happens.
        QCOMPARE(program.document().text(), QString("page"));
        QCOMPARE(program.document().selectionStart(), 1);
        QCOMPARE(program.document().selectionLength(), 2);
        QCOMPARE(program.windows().openWindows(), open);

        // The same address as the FAQ window's first text.
        const QString email =
            message.text.mid(prefix.size(), message.text.size() - prefix.size() - suffix.size());
        QVERIFY(email.contains('@'));
        QCOMPARE(label(this->open(program, "faq", "faqForm"), "Label1"),
                 "For more information contact Korvanetech at " + email);
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
