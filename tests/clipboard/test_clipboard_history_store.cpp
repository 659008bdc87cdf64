// Where the clipboard history is kept and how a change reaches the file: its
// own file beside the notes, written by a worker thread, the move out of the
// user defaults, a damaged file; and how copies are found: on the
// pasteboard's change notices, each read once.

#include "clipboard/ClipboardHistoryService.h"
#include "fakes/FakeClock.h"
#include "fakes/FakePasteboard.h"
#include "fakes/MemoryUserDefaults.h"
#include "fakes/RecordingSystemLog.h"
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <sys/stat.h>

using namespace mendo;
using namespace std::chrono_literals;

namespace {

QStringList textsOf(const QList<ClipboardHistoryItem>& items)
{
    QStringList texts;
    for (const ClipboardHistoryItem& item : items)
        texts << item.text;
    return texts;
}

ClipboardHistoryItem entry(const QString& text)
{
    return { text + QStringLiteral("-id"), text, QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5), Qt::UTC), text.size() };
}

}  // namespace

class TestClipboardHistoryStore : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void oldHistoryMovesOutOfTheDefaultsOnce();
    void unreadableOldHistoryIsKeptUnderItsOwnKey();
    void changesAreWrittenTogetherOffTheMainThread();
    void pendingChangesAreWrittenAtQuit();
    void undecodableFileIsSetAside();
    void failedWriteKeepsTheHistoryInTheDefaultsUntilTheFileWorks();
    void refusedFolderKeepsTheHistoryInTheDefaults();
    void noticesAreReadSoonAndFastCopiesAreAllKept();
    void aReadingIsNotRepeatedForTheSameChange();

private:
    QString folder() const { return m_dir->path() + QStringLiteral("/MendoAI"); }
    QString file() const { return folder() + QLatin1Char('/') + ClipboardHistoryStore::fileName; }
    QStringList fileTexts() const
    {
        QFile f(file());
        if (!f.open(QIODevice::ReadOnly))
            return { QStringLiteral("<no file>") };
        const auto decoded = ClipboardHistoryService::decode(f.readAll());
        return decoded ? textsOf(decoded->items) : QStringList { QStringLiteral("<undecodable>") };
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    FakeClock m_clock;
    FakePasteboard m_pasteboard;
};

void TestClipboardHistoryStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestClipboardHistoryStore::oldHistoryMovesOutOfTheDefaultsOnce()
{
    MemoryUserDefaults defaults;
    defaults.set(ClipboardHistoryService::storageKey,
        ClipboardHistoryService::encode({ entry(QStringLiteral("newer")), entry(QStringLiteral("older")) }));
    {
        ClipboardHistoryService history(m_clock, m_pasteboard, defaults, folder());
        QCOMPARE(textsOf(history.items()), (QStringList { QStringLiteral("newer"), QStringLiteral("older") }));
        QVERIFY(!defaults.contains(ClipboardHistoryService::storageKey));
        QCOMPARE(fileTexts(), (QStringList { QStringLiteral("newer"), QStringLiteral("older") }));
        QCOMPARE(QFileInfo(file()).permissions() & 0x0077, QFileDevice::Permissions());
        QCOMPARE(QFileInfo(folder()).permissions() & 0x0077, QFileDevice::Permissions());
        history.record(QStringLiteral("newest"));
    }
    // The next start reads the file alone; the defaults stay free of it.
    ClipboardHistoryService again(m_clock, m_pasteboard, defaults, folder());
    QCOMPARE(textsOf(again.items()),
        (QStringList { QStringLiteral("newest"), QStringLiteral("newer"), QStringLiteral("older") }));
    QVERIFY(!defaults.contains(ClipboardHistoryService::storageKey));
}

void TestClipboardHistoryStore::unreadableOldHistoryIsKeptUnderItsOwnKey()
{
    MemoryUserDefaults defaults;
    RecordingSystemLog log;
    const QVariant stored(QByteArray("[{\"id\":"));
    defaults.set(ClipboardHistoryService::storageKey, stored);
    ClipboardHistoryService history(m_clock, m_pasteboard, defaults, folder(), &log);
    QVERIFY(history.items().isEmpty());
    QCOMPARE(defaults.object(ClipboardHistoryService::unreadableKey), std::optional<QVariant>(stored));
    QVERIFY(!defaults.contains(ClipboardHistoryService::storageKey));
    QCOMPARE(log.lines.size(), 1);
    history.record(QStringLiteral("first"));
    history.store().flush();
    QCOMPARE(fileTexts(), QStringList { QStringLiteral("first") });
    QCOMPARE(defaults.object(ClipboardHistoryService::unreadableKey), std::optional<QVariant>(stored));
}

void TestClipboardHistoryStore::changesAreWrittenTogetherOffTheMainThread()
{
    MemoryUserDefaults defaults;
    ClipboardHistoryService history(m_clock, m_pasteboard, defaults, folder());
    std::atomic<int> writes = 0;
    std::atomic<bool> onMainThread = false;
    QThread* main = QThread::currentThread();
    history.store().setWriter([&](const QString& path, const QByteArray& bytes, QString* error) {
        ++writes;
        if (QThread::currentThread() == main)
            onMainThread = true;
        return AtomicFile::write(path, bytes, error);
    });
    for (const char* text : { "one", "two", "three" })
        history.record(QString::fromLatin1(text));
    QCOMPARE(writes.load(), 0);
    QCOMPARE(fileTexts(), QStringList { QStringLiteral("<no file>") });
    m_clock.advance(ClipboardHistoryStore::writeDelay);
    history.store().flush();
    QCOMPARE(writes.load(), 1);
    QVERIFY(!onMainThread);
    QCOMPARE(fileTexts(), (QStringList { QStringLiteral("three"), QStringLiteral("two"), QStringLiteral("one") }));
    QVERIFY(defaults.keys().isEmpty());
}

void TestClipboardHistoryStore::pendingChangesAreWrittenAtQuit()
{
    MemoryUserDefaults defaults;
    ClipboardHistoryService history(m_clock, m_pasteboard, defaults, folder());
    history.record(QStringLiteral("just copied"));
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    QCOMPARE(fileTexts(), QStringList { QStringLiteral("just copied") });
}

void TestClipboardHistoryStore::undecodableFileIsSetAside()
{
    QVERIFY(QDir().mkpath(folder()));
    QFile damaged(file());
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("[{\"id\": \"1.0-1\", \"text\": ");
    damaged.close();
    MemoryUserDefaults defaults;
    RecordingSystemLog log;
    ClipboardHistoryService history(m_clock, m_pasteboard, defaults, folder(), &log);
    QVERIFY(history.items().isEmpty());
    const QString stamp = m_clock.wallNow().toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QFile aside(file() + QStringLiteral(".corrupt-") + stamp);
    QVERIFY(aside.open(QIODevice::ReadOnly));
    QCOMPARE(aside.readAll(), QByteArray("[{\"id\": \"1.0-1\", \"text\": "));
    QCOMPARE(log.lines.size(), 1);
    QVERIFY2(log.lines[0].contains(aside.fileName()), qPrintable(log.lines[0]));
    QVERIFY(!QFileInfo::exists(file()));
}

void TestClipboardHistoryStore::failedWriteKeepsTheHistoryInTheDefaultsUntilTheFileWorks()
{
    MemoryUserDefaults defaults;
    RecordingSystemLog log;
    ClipboardHistoryService history(m_clock, m_pasteboard, defaults, folder(), &log);
    std::atomic<bool> diskFull = true;
    history.store().setWriter([&](const QString& path, const QByteArray& bytes, QString* error) {
        if (diskFull) {
            *error = QStringLiteral("no space left");
            return false;
        }
        return AtomicFile::write(path, bytes, error);
    });
    history.record(QStringLiteral("kept somewhere"));
    history.store().flush();
    QCOMPARE(textsOf(ClipboardHistoryService::decode(defaults.data(ClipboardHistoryService::storageKey).value())->items),
        QStringList { QStringLiteral("kept somewhere") });
    QCOMPARE(log.lines.size(), 1);
    QVERIFY2(log.lines[0].contains(QStringLiteral("no space left")), qPrintable(log.lines[0]));

    diskFull = false;
    history.record(QStringLiteral("disk has room"));
    history.store().flush();
    QCOMPARE(fileTexts(), (QStringList { QStringLiteral("disk has room"), QStringLiteral("kept somewhere") }));
    QVERIFY(!defaults.contains(ClipboardHistoryService::storageKey));
}

void TestClipboardHistoryStore::refusedFolderKeepsTheHistoryInTheDefaults()
{
    // A link in place of the folder: whoever owns its target reads along.
    QVERIFY(QDir().mkpath(m_dir->path() + QStringLiteral("/elsewhere")));
    QVERIFY(QFile::link(m_dir->path() + QStringLiteral("/elsewhere"), folder()));
    MemoryUserDefaults defaults;
    RecordingSystemLog log;
    ClipboardHistoryService history(m_clock, m_pasteboard, defaults, folder(), &log);
    QVERIFY(!history.store().usesFile());
    QCOMPARE(log.lines.size(), 1);
    QVERIFY2(log.lines[0].contains(QStringLiteral("symbolic link")), qPrintable(log.lines[0]));
    history.record(QStringLiteral("copied text"));
    QVERIFY(defaults.contains(ClipboardHistoryService::storageKey));
    QVERIFY(QDir(m_dir->path() + QStringLiteral("/elsewhere")).isEmpty());
}

void TestClipboardHistoryStore::noticesAreReadSoonAndFastCopiesAreAllKept()
{
    MemoryUserDefaults defaults;
    FakePasteboard pasteboard;
    pasteboard.announces = true;
    ClipboardHistoryService history(m_clock, pasteboard, defaults);
    history.start();
    // Copies 150 ms apart, far faster than a poll would look.
    QStringList copied;
    for (int i = 0; i < 20; ++i) {
        copied.prepend(QStringLiteral("copy %1").arg(i));
        pasteboard.copyFromOutside(copied.first());
        m_clock.advance(150ms);
    }
    QCOMPARE(textsOf(history.items()), copied);

    // A burst within the settle time is read once, as it ends up.
    pasteboard.copyFromOutside(QStringLiteral("quickly replaced"));
    m_clock.advance(10ms);
    pasteboard.copyFromOutside(QStringLiteral("what stayed"));
    m_clock.advance(ClipboardHistoryService::changeSettleDelay);
    QCOMPARE(history.items().first().text, QStringLiteral("what stayed"));
    QCOMPARE(history.items()[1].text, QStringLiteral("copy 19"));
}

void TestClipboardHistoryStore::aReadingIsNotRepeatedForTheSameChange()
{
    MemoryUserDefaults defaults;
    FakePasteboard pasteboard;
    pasteboard.announces = true;
    ClipboardHistoryService history(m_clock, pasteboard, defaults);
    history.start();
    const int before = pasteboard.textReads;
    pasteboard.failTextReads = PasteboardTextReading::Outcome::unreadable;
    pasteboard.copyFromOutside(QStringLiteral("never answered"));
    m_clock.advance(ClipboardHistoryService::changeSettleDelay);
    m_clock.advance(10s);
    QCOMPARE(pasteboard.textReads, before + 1);
    QVERIFY(history.items().isEmpty());
    // The owner answers again: the next change is read as usual.
    pasteboard.failTextReads.reset();
    pasteboard.copyFromOutside(QStringLiteral("answered"));
    m_clock.advance(ClipboardHistoryService::changeSettleDelay);
    QCOMPARE(textsOf(history.items()), QStringList { QStringLiteral("answered") });
}

QTEST_GUILESS_MAIN(TestClipboardHistoryStore)
#include "test_clipboard_history_store.moc"
