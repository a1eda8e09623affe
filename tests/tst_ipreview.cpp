#include <QPointer>
#include <QTest>

#include "app/windowregistry.h"
#include "markup/ipreview.h"
#include "testsupport.h"

class TestIPreview : public QObject
{
    Q_OBJECT

private slots:
    void closedWithTheProgram()
    {
        TestSupport::Program program;
        // Nothing opens it, but it closes with the rest when it exists.
        QPointer<IPreview> window = program.windows().window<IPreview>();
        QVERIFY(!window->isVisible());
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
