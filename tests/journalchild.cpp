// Runs a JournalScript on a page with a journal, as the program does, until
// it is killed. Before each step it writes the step's number and the time to
// the log, unbuffered, so that a kill never loses a line already written.
//   journalchild SEED LOG PAGE [STEPS [nosave]]
// With STEPS (-1 for no end) it ends cleanly after them; with nosave it writes
// no file but its journal: the page's file, if any, is the test's.
#include <QApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include "editor/document.h"
#include "journalscript.h"
#include "recovery/journal.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 4)
        return 2;
    const quint32 seed = QByteArray(argv[1]).toUInt();
    QFile log(QString::fromLocal8Bit(argv[2]));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return 2;
    const int steps = argc > 4 ? QByteArray(argv[4]).toInt() : -1;
    QWidget container;
    Document document(&container);
    // A small base stays in the page's file, so that both kinds of journal are killed.
    Journal journal(document, nullptr, 64);
    const bool saves = argc <= 5;
    JournalScript script(seed, QString::fromLocal8Bit(argv[3]), saves);
    // Without saves it writes no file at all: the page's is the test's, and
    // only the journal is written, as by a program that opened a page.
    script.open(document, saves);
    QRandomGenerator pauses(seed * 7 + 1);
    for (int n = 0; n != steps; ++n) {
        log.write(QByteArray::number(n) + ' ' +
                  QByteArray::number(QDateTime::currentMSecsSinceEpoch()) + '\n');
        script.step(document, true);
        // Pauses between steps let the journal's timer fire as it does in use.
        QEventLoop wait;
        QTimer::singleShot(pauses.bounded(40), &wait, &QEventLoop::quit);
        wait.exec();
    }
    return 0;
}
