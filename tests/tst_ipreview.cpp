#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include "app/mainwindow.h"
#include "app/twips.h"
#include "app/windowregistry.h"
#include "markup/ipreview.h"
#include "testsupport.h"

class TestIPreview : public QObject
{
    Q_OBJECT

private slots:
    void layout()
    {
        TestSupport::Program program;
        IPreview *window = program.windows().window<IPreview>();
        QVERIFY(!window->isVisible());
        QCOMPARE(window->objectName(), QString("ipreview"));
        QCOMPARE(window->windowTitle(), QString("Internet Picture Preview"));
        QCOMPARE(window->windowType(), Qt::Tool);
        QVERIFY(!(window->windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(window->size(), Twips::size(5670, 3885));
        auto *image = window->findChild<QLabel *>("Image1");
        QVERIFY(image);
        QCOMPARE(image->geometry(), Twips::rect(120, 120, 5415, 3495));
    }

    void closedWithTheProgram()
    {
        TestSupport::Program program;
        QPointer<IPreview> window = program.windows().window<IPreview>();
        QStringList closed;
        connect(&program.windows(), &WindowRegistry::closing, this,
                [&closed](const QString &name) { closed.append(name); });
        program.windows().closeAllWindows();
        QCOMPARE(closed, (QStringList{"ipreview", "Main"}));
        QTRY_VERIFY(!window);
    }
};

QTEST_MAIN(TestIPreview)
#include "tst_ipreview.moc"
