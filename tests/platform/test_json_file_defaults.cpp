#include "model/NativeSettingsStore.h"
#include "fakes/RecordingSystemLog.h"
#include "platform/JsonFileUserDefaults.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <cmath>
#include <limits>
#include <sys/stat.h>

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
    void unstorableValueChangesNothing();
    void settingsRoundTrip();
    void standardPath_data();
    void standardPath();

private:
    QString path() const { return m_dir->filePath("MendoAI/defaults.json"); }
    QByteArray fileText() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    std::unique_ptr<QTemporaryDir> m_dir;
};

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
        JsonFileUserDefaults writer(path());
        for (auto it = values.constBegin(); it != values.constEnd(); ++it)
            writer.set(it.key(), it.value());
        QVERIFY2(writer.lastError().isEmpty(), qPrintable(writer.lastError()));
    }
    JsonFileUserDefaults reader(path());
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
    JsonFileUserDefaults store(path());
    store.set("mendo.flag", false);
    store.set("mendo.blob", QByteArray("hi"));
    store.set("mendo.when", QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC));
    store.set("mendo.ratio", 3.0);

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
    JsonFileUserDefaults store(path(), &log);
    QVERIFY(store.keys().isEmpty());
    QCOMPARE(log.lines.size(), 1);
    QVERIFY(log.lines.first().contains("kept as"));

    store.set("k", qint64(1));
    const QStringList aside = QDir(m_dir->filePath("MendoAI")).entryList({ "defaults.json.corrupt-*" }, QDir::Files);
    QCOMPARE(aside.size(), 1);
    QFile kept(m_dir->filePath("MendoAI/" + aside.first()));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), text);
    QCOMPARE(JsonFileUserDefaults(path()).integer("k"), qint64(1));
}

void TestJsonFileDefaults::changesOfAnotherProcess()
{
    JsonFileUserDefaults ours(path());
    ours.set("ours", "a");
    JsonFileUserDefaults theirs(path());
    QSignalSpy changed(&ours, &UserDefaults::changed);

    theirs.set("theirs", qint64(7));
    QVERIFY(changed.wait(5000));
    QCOMPARE(changed.first().first().toString(), QStringLiteral("theirs"));
    QCOMPARE(ours.integer("theirs"), qint64(7));

    // Our next write keeps what they wrote.
    ours.set("ours", "b");
    const JsonFileUserDefaults third(path());
    QCOMPARE(third.integer("theirs"), qint64(7));
    QCOMPARE(*third.string("ours"), QStringLiteral("b"));
}

void TestJsonFileDefaults::batchWritesOnceAtTheEnd()
{
    JsonFileUserDefaults store(path());
    store.set("before", true);
    const QByteArray start = fileText();
    {
        UserDefaults::Batch outer(store);
        store.set("a", qint64(1));
        {
            UserDefaults::Batch inner(store);
            store.set("b", qint64(2));
        }
        store.remove("before");
        QCOMPARE(fileText(), start);
        QCOMPARE(store.integer("b"), qint64(2));
    }
    const JsonFileUserDefaults reread(path());
    QCOMPARE(reread.keys(), (QStringList { "a", "b" }));
}

void TestJsonFileDefaults::unstorableValueChangesNothing()
{
    RecordingSystemLog log;
    JsonFileUserDefaults store(path(), &log);
    store.set("k", 1.5);
    store.set("k", std::nan(""));
    store.set("k", QVariant::fromValue(QPoint(1, 2)));
    QCOMPARE(store.number("k"), 1.5);
    QCOMPARE(log.lines.size(), 2);
    QVERIFY(!store.lastError().isEmpty());
    QCOMPARE(JsonFileUserDefaults(path()).number("k"), 1.5);
}

void TestJsonFileDefaults::settingsRoundTrip()
{
    {
        JsonFileUserDefaults defaults(path());
        NativeSettingsStore(defaults).save(MendoSettings {});
    }
    QVERIFY(QJsonDocument::fromJson(fileText()).isObject());
    JsonFileUserDefaults defaults(path());
    QVERIFY(NativeSettingsStore(defaults).load() == MendoSettings {});
    QCOMPARE(defaults.object("mendo.clipboardLimit")->typeId(), QMetaType::LongLong);
    QCOMPARE(defaults.object("mendo.promptStyles")->typeId(), QMetaType::QByteArray);
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
