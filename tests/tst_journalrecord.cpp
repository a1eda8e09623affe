#include <QRandomGenerator>
#include <QTest>

#include "editor/text/piecetree.h"
#include "recovery/journalreader.h"
#include "recovery/journalrecord.h"
#include "recovery/pendingedits.h"

namespace {

// ASCII, accents, a pair, lone surrogates of both kinds, CR and tags.
const QStringList Alphabet = {"a",
                              "b",
                              " ",
                              "\n",
                              "\u00e9",
                              "\u20ac",
                              "\U0001F600",
                              QString(QChar(0xD800)),
                              QString(QChar(0xDC01)),
                              "\r",
                              "<b>"};

QString pick(QRandomGenerator &random, int count)
{
    QString text;
    for (int i = 0; i < count; ++i)
        text += Alphabet.at(random.bounded(int(Alphabet.size())));
    return text;
}

JournalRecord::Sink into(QByteArray &bytes)
{
    return [&bytes](const char *data, qsizetype size) {
        bytes.append(data, size);
        return true;
    };
}

// A journal written as a page is edited: after each record, the text it
// stands for and where the record ends.
struct Written
{
    QByteArray bytes;
    QStringList texts;
    QList<qsizetype> ends;
};

Written edit(quint32 seed, int records, int longest)
{
    QRandomGenerator random(seed);
    PieceTree tree(1 + random.bounded(32));
    QString model = pick(random, random.bounded(longest));
    tree.reset(model);
    Written written{JournalRecord::magic(), {}, {}};
    JournalRecord::writeBegin(into(written.bytes), {"/page \u00e9.html", {}, false, 0, 0}, 1);
    JournalRecord::writeSnapshot(into(written.bytes), tree, 2);
    written.texts << model;
    written.ends << written.bytes.size();
    PendingEdits pending;
    while (written.texts.size() <= records) {
        // Sometimes more edits than spans are kept apart.
        for (int n = random.bounded(2) ? random.bounded(1, 12) : 200; n > 0; --n) {
            const int start = random.bounded(int(model.size()) + 1);
            const int removed = random.bounded(std::min(8, int(model.size()) - start) + 1);
            const QString added = pick(random, random.bounded(4));
            model.replace(start, removed, added);
            tree.remove(start, removed);
            tree.insert(start, added);
            pending.add(start, removed, int(added.size()));
            if (pending.spans().size() > PendingEdits::MaxSpans)
                return {};
        }
        if (random.bounded(8) == 0)
            JournalRecord::writeSnapshot(into(written.bytes), tree, 3);
        else
            JournalRecord::writeEdits(into(written.bytes), tree, pending.spans(), 3);
        pending.clear();
        written.texts << model;
        written.ends << written.bytes.size();
    }
    return written;
}

} // namespace

class TestJournalRecord : public QObject
{
    Q_OBJECT

private slots:
    void replaysEveryEdit();
    void readsWhatPrecedesDamage();
};

// The edits recorded between syncs, replayed on the text of the last sync,
// give the text as it stands: the model is a plain string edited alongside.
void TestJournalRecord::replaysEveryEdit()
{
    for (quint32 seed = 1; seed <= 300; ++seed) {
        const Written written = edit(seed, 20, 3000);
        QVERIFY2(!written.bytes.isEmpty(), "more spans kept than allowed");
        JournalReader reader(written.bytes);
        QVERIFY(reader.hasPage());
        QCOMPARE(reader.page().path, QString("/page \u00e9.html"));
        QCOMPARE(reader.rebuild(QString()), written.texts.last());
        QVERIFY2(!reader.isDamaged(), qPrintable(QString::number(seed)));
    }
}

// A journal cut at every byte, or with any one byte changed, gives the text
// of its last whole record before the damage, and says whether it was damaged.
void TestJournalRecord::readsWhatPrecedesDamage()
{
    const Written written = edit(42, 6, 40);
    for (qsizetype cut = 0; cut <= written.bytes.size(); ++cut) {
        JournalReader reader(written.bytes.left(cut));
        const auto whole = std::upper_bound(written.ends.begin(), written.ends.end(), cut);
        if (whole == written.ends.begin()) {
            // Before the page's text is whole there is nothing but the page.
            if (reader.hasPage())
                QCOMPARE(reader.rebuild(QString()), QString());
            continue;
        }
        QVERIFY(reader.hasPage());
        QCOMPARE(reader.rebuild(QString()), written.texts.at(whole - written.ends.begin() - 1));
        QCOMPARE(reader.isDamaged(), cut != *(whole - 1));
    }
    for (qsizetype at = 0; at < written.bytes.size(); ++at) {
        QByteArray flipped = written.bytes;
        flipped[at] = char(flipped[at] ^ (1 << (at % 8)));
        JournalReader reader(flipped);
        const auto record = std::upper_bound(written.ends.begin(), written.ends.end(), at);
        if (record == written.ends.begin()) {
            QVERIFY(!reader.hasPage() || reader.rebuild(QString()).isEmpty());
            continue;
        }
        QVERIFY(reader.hasPage());
        QCOMPARE(reader.rebuild(QString()), written.texts.at(record - written.ends.begin() - 1));
        QVERIFY(reader.isDamaged());
    }
}

QTEST_GUILESS_MAIN(TestJournalRecord)
#include "tst_journalrecord.moc"
