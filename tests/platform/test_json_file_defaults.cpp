#include "fakes/FakeClock.h"
#include "fakes/RecordingSystemLog.h"
#include "model/NativeSettingsStore.h"
#include "platform/DefaultsFileFormat.h"
#include "platform/JsonFileUserDefaults.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <QTimer>
#include <cmath>
#include <limits>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace mendo;

class TestJsonFileDefaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void typesSurviveTheFile();
    void fileIsCompletePrivateJson();
    void corruptFileIsKeptAside_data();
    void corruptFileIsKeptAside();
    void changesOfAnotherProcess();
    void batchWritesOnceAtTheEnd();
    void burstOfChangesIsOneWrite();
    void fileRewrittenInChunksIsNotSetAside();
    void fileLeftUnreadableIsLeftAlone();
    void pendingWriteIsFlushedAtQuit();
    void unstorableValueChangesNothing();
    void settingsRoundTrip();
    void escapedSurrogateHalves_data();
    void escapedSurrogateHalves();
    void standardPath_data();
    void standardPath();

private:
    QString path() const { return m_dir->filePath("MendoAI/defaults.json"); }
    QByteArray fileText() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeInPlace(const QByteArray& bytes, bool append = false) const
    {
        QFile f(path());
        QVERIFY(f.open(append ? QIODevice::Append : (QIODevice::WriteOnly | QIODevice::Truncate)));
        QCOMPARE(f.write(bytes), bytes.size());
    }
    QStringList keptAside() const
    {
        return QDir(m_dir->filePath("MendoAI")).entryList({ "defaults.json.corrupt-*" }, QDir::Files);
    }
    std::unique_ptr<QTemporaryDir> m_dir;
    FakeClock m_clock;
};

namespace {

// Counts the files renamed into a directory, the last step of every write.
class RenameCounter {
public:
    explicit RenameCounter(const QString& dir)
        : m_fd(inotify_init1(IN_NONBLOCK))
    {
        inotify_add_watch(m_fd, QFile::encodeName(dir).constData(), IN_MOVED_TO);
    }
    ~RenameCounter() { ::close(m_fd); }
    int count()
    {
        alignas(inotify_event) char buffer[4096];
        for (ssize_t n; (n = ::read(m_fd, buffer, sizeof buffer)) > 0;) {
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                m_count += (event->mask & IN_MOVED_TO) ? 1 : 0;
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
        return m_count;
    }

private:
    int m_fd;
    int m_count = 0;
};

}  // namespace

void TestJsonFileDefaults::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

static QVariantMap sampleValues()
{
    const QDateTime date = QDateTime::fromMSecsSinceEpoch(1765000000123, Qt::UTC);
    return {
        { "false", false },
        { "integer", qint64(42) },
        { "big", std::numeric_limits<qint64>::max() },
        { "whole double", 2.0 },
        { "double", 0.1 },
        { "negative zero", -0.0 },
        { "text", QString::fromUtf8("quote \" slash \\ tab\t line\n \u0001 Русский 😀") },
        { "data", QByteArray("\x00\xff{\"$data\"}", 12) },
        { "date", date },
        { "list", QVariantList { true, qint64(1), 1.5, "x", QByteArray("d"), date, QVariantList {} } },
        { "map", QVariantMap { { "a", qint64(1) }, { "nested", QVariantMap { { "b", false } } } } },
        { "map like a tag", QVariantMap { { "$data", "AAAA" } } },
        { "empty map", QVariantMap {} },
    };
}

void TestJsonFileDefaults::typesSurviveTheFile()
{
    const QVariantMap values = sampleValues();
    {
        JsonFileUserDefaults writer(path(), m_clock);
        for (auto it = values.constBegin(); it != values.constEnd(); ++it)
            writer.set(it.key(), it.value());
        QVERIFY2(writer.lastError().isEmpty(), qPrintable(writer.lastError()));
    }
    JsonFileUserDefaults reader(path(), m_clock);
    QCOMPARE(reader.keys(), values.keys());
    for (auto it = values.constBegin(); it != values.constEnd(); ++it) {
        const QVariant read = *reader.object(it.key());
        QCOMPARE(read.typeId(), it.value().typeId());
        QCOMPARE(read, it.value());
    }
    QVERIFY(std::signbit(reader.object("negative zero")->toDouble()));
    QCOMPARE(reader.boolean("false"), false);
    QCOMPARE(reader.integer("whole double"), qint64(2));
}

void TestJsonFileDefaults::fileIsCompletePrivateJson()
{
    JsonFileUserDefaults store(path(), m_clock);
    store.set("mendo.flag", false);
    store.set("mendo.blob", QByteArray("hi"));
    store.set("mendo.when", QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC));
    store.set("mendo.ratio", 3.0);
    m_clock.advance(JsonFileUserDefaults::writeDelay);

    QJsonParseError error;
    const QJsonObject object = QJsonDocument::fromJson(fileText(), &error).object();
    QCOMPARE(error.error, QJsonParseError::NoError);
    QCOMPARE(object.value("mendo.flag"), QJsonValue(false));
    QCOMPARE(object.value("mendo.blob").toObject().value("$data").toString(), QStringLiteral("aGk="));
    QCOMPARE(object.value("mendo.when").toObject().value("$date").toDouble(), 1700000000.0);
    QVERIFY(fileText().contains("\"mendo.ratio\": 3.0"));

    struct stat st { };
    QCOMPARE(::stat(QFile::encodeName(path()).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, mode_t(0600));
    // Nothing half-written is left beside it.
    QCOMPARE(QDir(m_dir->filePath("MendoAI")).entryList(QDir::Files), QStringList { "defaults.json" });
}

void TestJsonFileDefaults::corruptFileIsKeptAside_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("broken") << QByteArray("{\"mendo.theme\": \"liquid-sky\",");
    QTest::newRow("an array") << QByteArray("[1, 2]");
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("trailing text") << QByteArray("{} {}");
}

void TestJsonFileDefaults::corruptFileIsKeptAside()
{
    QFETCH(QByteArray, text);
    QVERIFY(QDir().mkpath(m_dir->filePath("MendoAI")));
    {
        QFile f(path());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    RecordingSystemLog log;
    JsonFileUserDefaults store(path(), m_clock, &log);
    QVERIFY(store.keys().isEmpty());
    QCOMPARE(log.lines.size(), 1);
    QVERIFY(log.lines.first().contains("kept as"));

    store.set("k", qint64(1));
    store.flush();
    const QStringList aside = keptAside();
    QCOMPARE(aside.size(), 1);
    QFile kept(m_dir->filePath("MendoAI/" + aside.first()));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), text);
    QCOMPARE(JsonFileUserDefaults(path(), m_clock).integer("k"), qint64(1));
}

void TestJsonFileDefaults::changesOfAnotherProcess()
{
    JsonFileUserDefaults ours(path(), m_clock);
    ours.set("ours", "a");
    ours.flush();
    FakeClock theirClock;
    JsonFileUserDefaults theirs(path(), theirClock);
    QSignalSpy changed(&ours, &UserDefaults::changed);

    theirs.set("theirs", qint64(7));
    theirClock.advance(JsonFileUserDefaults::writeDelay);
    QVERIFY(changed.wait(5000));
    QCOMPARE(changed.first().first().toString(), QStringLiteral("theirs"));
    QCOMPARE(ours.integer("theirs"), qint64(7));

    // Our next write keeps what they wrote.
    ours.set("ours", "b");
    m_clock.advance(JsonFileUserDefaults::writeDelay);
    const JsonFileUserDefaults third(path(), m_clock);
    QCOMPARE(third.integer("theirs"), qint64(7));
    QCOMPARE(*third.string("ours"), QStringLiteral("b"));
}

void TestJsonFileDefaults::batchWritesOnceAtTheEnd()
{
    JsonFileUserDefaults store(path(), m_clock);
    store.set("before", true);
    m_clock.advance(JsonFileUserDefaults::writeDelay);
    const QByteArray start = fileText();
    {
        UserDefaults::Batch outer(store);
        store.set("a", qint64(1));
        {
            UserDefaults::Batch inner(store);
            store.set("b", qint64(2));
        }
        store.remove("before");
        m_clock.advance(JsonFileUserDefaults::writeDelay);
        QCOMPARE(fileText(), start);
        QCOMPARE(store.integer("b"), qint64(2));
    }
    m_clock.advance(JsonFileUserDefaults::writeDelay);
    const JsonFileUserDefaults reread(path(), m_clock);
    QCOMPARE(reread.keys(), (QStringList { "a", "b" }));
}

void TestJsonFileDefaults::burstOfChangesIsOneWrite()
{
    const Millis delay = JsonFileUserDefaults::writeDelay;
    JsonFileUserDefaults store(path(), m_clock);
    store.set("first", true);
    m_clock.advance(delay);
    RenameCounter writes(m_dir->filePath("MendoAI"));

    // A hundred changes inside the delay: nothing reaches the file before the
    // delay after the first of them, then all of them in one write.
    for (int i = 0; i < 100; ++i) {
        store.set(QStringLiteral("k%1").arg(i), qint64(i));
        if (i % 2)
            m_clock.advance(Millis(1));
    }
    m_clock.advance(delay - Millis(51));
    QVERIFY(!fileText().contains("\"k0\""));
    m_clock.advance(Millis(1));
    QCOMPARE(writes.count(), 1);
    QVERIFY(fileText().contains("\"k99\": 99"));

    // Changes that keep coming do not hold the file back.
    for (int i = 0; i < 15; ++i) {
        store.set("steady", qint64(i));
        m_clock.advance(Millis(10));
    }
    QCOMPARE(writes.count(), 2);
    QVERIFY(fileText().contains("\"steady\": 9"));
}

void TestJsonFileDefaults::fileRewrittenInChunksIsNotSetAside()
{
    RecordingSystemLog log;
    JsonFileUserDefaults store(path(), m_clock, &log);
    store.set("theirs", qint64(1));
    store.flush();
    QSignalSpy changed(&store, &UserDefaults::changed);

    // Another program rewrites the file in place; the watcher sees the first
    // half before the second is written.
    const QByteArray text = "{\n    \"theirs\": 2,\n    \"added\": \"yes\"\n}\n";
    writeInPlace(text.left(12));
    store.reloadIfChanged();
    store.set("ours", qint64(3));
    m_clock.advance(JsonFileUserDefaults::rereadInterval);
    QCOMPARE(fileText(), text.left(12));
    QCOMPARE(store.integer("theirs"), qint64(1));

    writeInPlace(text.mid(12), true);
    m_clock.advance(JsonFileUserDefaults::rereadInterval);
    QCOMPARE(store.integer("theirs"), qint64(2));
    QCOMPARE(*store.string("added"), QStringLiteral("yes"));
    QCOMPARE(store.integer("ours"), qint64(3));
    QVERIFY(changed.contains(QVariantList { "added" }));

    // The change held back meanwhile is written, on top of theirs.
    m_clock.advance(JsonFileUserDefaults::writeDelay);
    const JsonFileUserDefaults reread(path(), m_clock);
    QCOMPARE(reread.integer("theirs"), qint64(2));
    QCOMPARE(reread.integer("ours"), qint64(3));
    QVERIFY(keptAside().isEmpty());
    QVERIFY2(log.lines.isEmpty(), qPrintable(log.lines.join('\n')));
}

void TestJsonFileDefaults::fileLeftUnreadableIsLeftAlone()
{
    RecordingSystemLog log;
    JsonFileUserDefaults store(path(), m_clock, &log);
    store.set("kept", qint64(1));
    store.flush();

    writeInPlace("{\"kept\": ");
    store.reloadIfChanged();
    store.set("ours", qint64(2));
    m_clock.advance(Millis(5000));
    QCOMPARE(log.lines.size(), 1);
    QVERIFY(log.lines.first().contains("is left as it is"));
    QCOMPARE(fileText(), QByteArray("{\"kept\": "));
    QVERIFY(keptAside().isEmpty());
    QCOMPARE(store.integer("kept"), qint64(1));

    // Once it reads again, the writes held back go out.
    writeInPlace("{\"kept\": 5}");
    store.reloadIfChanged();
    m_clock.advance(JsonFileUserDefaults::writeDelay);
    const JsonFileUserDefaults reread(path(), m_clock);
    QCOMPARE(reread.integer("kept"), qint64(5));
    QCOMPARE(reread.integer("ours"), qint64(2));
    QCOMPARE(log.lines.size(), 1);
}

void TestJsonFileDefaults::pendingWriteIsFlushedAtQuit()
{
    JsonFileUserDefaults store(path(), m_clock);
    store.set("before quit", true);
    // What the application saves while it ends goes out at once too.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, &store, [&store] { store.set("while quitting", true); });
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    const JsonFileUserDefaults reread(path(), m_clock);
    QVERIFY(reread.boolean("before quit"));
    QVERIFY(reread.boolean("while quitting"));
}

void TestJsonFileDefaults::unstorableValueChangesNothing()
{
    RecordingSystemLog log;
    JsonFileUserDefaults store(path(), m_clock, &log);
    store.set("k", 1.5);
    store.set("k", std::nan(""));
    store.set("k", QVariant::fromValue(QPoint(1, 2)));
    QCOMPARE(store.number("k"), 1.5);
    QCOMPARE(log.lines.size(), 2);
    QVERIFY(!store.lastError().isEmpty());
    store.flush();
    QCOMPARE(JsonFileUserDefaults(path(), m_clock).number("k"), 1.5);
}

void TestJsonFileDefaults::settingsRoundTrip()
{
    {
        JsonFileUserDefaults defaults(path(), m_clock);
        NativeSettingsStore(defaults).save(MendoSettings {});
    }
    QVERIFY(QJsonDocument::fromJson(fileText()).isObject());
    JsonFileUserDefaults defaults(path(), m_clock);
    QVERIFY(NativeSettingsStore(defaults).load() == MendoSettings {});
    QCOMPARE(defaults.object("mendo.clipboardLimit")->typeId(), QMetaType::LongLong);
    QCOMPARE(defaults.object("mendo.promptStyles")->typeId(), QMetaType::QByteArray);
}

void TestJsonFileDefaults::escapedSurrogateHalves_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("expected");
    const QString replacement(QChar::ReplacementCharacter);
    QTest::newRow("pair") << QByteArray(R"("\ud83d\ude00")") << QStringLiteral("😀");
    QTest::newRow("high alone") << QByteArray(R"("a\ud800b")") << "a" + replacement + "b";
    QTest::newRow("low alone") << QByteArray(R"("\ude00")") << replacement;
    QTest::newRow("reversed") << QByteArray(R"("\ude00\ud83d")") << replacement + replacement;
    QTest::newRow("high at the end") << QByteArray(R"("x\ud83d")") << "x" + replacement;
    QTest::newRow("high before a written pair") << QByteArray(R"("\ud83d😀")") << replacement + "😀";
}

// Half a pair cannot be written as UTF-8: read as it would be written, the
// text no longer changes when it is saved.
void TestJsonFileDefaults::escapedSurrogateHalves()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, expected);
    const std::optional<QVariant> read = defaults_file::decodeDocument(json);
    QVERIFY(read);
    QCOMPARE(read->toString(), expected);
    QCOMPARE(defaults_file::decodeDocument(defaults_file::encodeValue(*read)), read);
}

void TestJsonFileDefaults::standardPath_data()
{
    QTest::addColumn<QByteArray>("xdg");
    QTest::addColumn<QString>("expected");
    QTest::newRow("set") << QByteArray("/cfg") << "/cfg/MendoAI/defaults.json";
    QTest::newRow("unset") << QByteArray() << QDir::homePath() + "/.config/MendoAI/defaults.json";
    QTest::newRow("relative") << QByteArray("cfg") << QDir::homePath() + "/.config/MendoAI/defaults.json";
}

void TestJsonFileDefaults::standardPath()
{
    QFETCH(QByteArray, xdg);
    QFETCH(QString, expected);
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    const bool had = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    if (xdg.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", xdg);
    const QString actual = JsonFileUserDefaults::standardPath();
    if (had)
        qputenv("XDG_CONFIG_HOME", saved);
    else
        qunsetenv("XDG_CONFIG_HOME");
    QCOMPARE(actual, expected);
}

QTEST_GUILESS_MAIN(TestJsonFileDefaults)
#include "test_json_file_defaults.moc"
