#include <QTest>

#include "editor/document.h"
#include "testsupport.h"

class TestDocument : public QObject
{
    Q_OBJECT
private slots:
    void smoke()
    {
        TestSupport::Program program;
        program.document().insertFragment("<br>");
        QCOMPARE(program.document().text(), QString("<br>"));
    }
};

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
