#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QTest>

#include "app/twips.h"
#include "app/windowregistry.h"
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

    static QLabel *label(QWidget *window, const QString &name)
    {
        return window->findChild<QLabel *>(name);
    }

private slots:
    void aboutTagloom()
    {
        TestSupport::Program program;
        QWidget *about = open(program, "about", "AboutHTML");
        QCOMPARE(label(about, "Label1")->text(), QString("Tagloom v1"));
        QCOMPARE(label(about, "Label1")->font().pointSizeF(), 14.25);
        // The rectangle's top edge shows through below the title.
        QVERIFY(!label(about, "Label1")->autoFillBackground());
        auto *shape = about->findChild<QFrame *>("Shape1");
        QCOMPARE(shape->geometry(), Twips::rect(480, 600, 3615, 1815));
        QCOMPARE(shape->frameShape(), QFrame::Box);
        // The rectangle frames the product line and the web address, each shown whole.
        for (const char *name : {"Label2", "Label3"}) {
            QLabel *inside = label(about, name);
            const QRect needed = inside->fontMetrics().boundingRect(
                inside->rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, inside->text());
            QVERIFY2(!inside->text().isEmpty() && inside->rect().contains(needed), name);
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
        QCOMPARE(label(about, "Label4")->text(),
                 "KorvaneTech provides great programming services at no cost. Just check out " +
                     address);
        // Large type, made smaller only where a substitute font is too wide.
        const qreal nameSize = label(about, "Label2")->font().pointSizeF();
        QVERIFY(nameSize <= 13.5 && nameSize >= 10);

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

    void contactMessage()
    {
        TestSupport::Program program;
        TestSupport::MessageBoxes boxes;
        program.entry("contact")->trigger();
        QCOMPARE(boxes.shown().size(), 1);
        const MessageBox::Message message = boxes.shown().first();
        QCOMPARE(message.title, QString("Contact"));
        QCOMPARE(message.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(message.icon, QMessageBox::NoIcon);
        const QString prefix = "If you want to contact us for information, questions, or help, "
                               "please e-mail ";
        const QString suffix = " and title the E-mail: Tagloom";
        QVERIFY2(message.text.startsWith(prefix) && message.text.endsWith(suffix),
                 qPrintable(message.text));
        QCOMPARE(program.windows().openWindows(), QStringList("Main"));

        // The same address as the FAQ window's first text.
        const QString email = message.text.mid(prefix.size()).chopped(suffix.size());
        QVERIFY(email.contains('@') && email.endsWith(".example"));
        QCOMPARE(label(open(program, "faq", "faqForm"), "Label1")->text(),
                 "For more information contact Korvanetech at " + email);
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
