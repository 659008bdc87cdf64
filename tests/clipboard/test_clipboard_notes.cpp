// The notes store over a temporary folder: where the notes are read from,
// what each change does, and that no failure or crash loses them.

#include "clipboard/ClipboardNotesService.h"
#include "fakes/FakeClock.h"
#include "fakes/MemoryUserDefaults.h"
#include "fakes/RecordingSystemLog.h"
#include "platform/JsonFileUserDefaults.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace mendo;
using namespace std::chrono_literals;

namespace {

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// One tab titled `title` with one note, as a store writes it.
QByteArray tabsTitled(const QString& title)
{
    const QDateTime at(QDate(2025, 5, 1), QTime(9, 0), Qt::UTC);
    ClipboardNoteTab tab { QStringLiteral("A"), title, { { QStringLiteral("B"), QStringLiteral("text"), at, at } }, at,
        at };
    return ClipboardNotesService::encode({ tab });
}

QStringList titlesOf(const QList<ClipboardNoteTab>& tabs)
{
    QStringList titles;
    for (const ClipboardNoteTab& tab : tabs)
        titles << tab.title;
    return titles;
}

// A folder, the user defaults and a clock that outlive the stores made over
// them, as the disk and the defaults outlive a run of the application.
struct Disk {
    QTemporaryDir dir;
    QString folder = dir.filePath(QStringLiteral("MendoAI"));
    MemoryUserDefaults defaults;
    FakeClock clock;
    RecordingSystemLog log;

    QString primary() const { return folder + QLatin1Char('/') + ClipboardNotesService::fileName; }
    QString backup() const { return folder + QLatin1Char('/') + ClipboardNotesService::backupFileName; }
    std::unique_ptr<ClipboardNotesService> open()
    {
        return std::make_unique<ClipboardNotesService>(folder, defaults, clock, &log);
    }
    QStringList corruptFiles() const
    {
        return QDir(folder).entryList({ QStringLiteral("*.corrupt-*") }, QDir::Files, QDir::Name);
    }
    std::optional<QByteArray> copy() const { return defaults.data(ClipboardNotesService::fallbackDefaultsKey); }
};

}  // namespace

class TestClipboardNotes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void loadsTheNewestReadableSource_data();
    void loadsTheNewestReadableSource();
    void nothingIsReadUntilFirstUse();
    void standardFolder_data();
    void standardFolder();
    void titles_data();
    void titles();
    void tabAndNoteOperations();
    void whatIsSavedAndWhere();
    void aFailedWriteGoesToTheCopyWhichWinsUntilTheNextGoodWrite();
    void aReadOnlyFolderKeepsEveryChangeInTheCopy();
    void aCrashDuringASaveLosesNothing();
    void aNotesFileThatCannotBeReadIsNeverReplaced();
    void onlyAPrivateFolderOfTheUsersIsUsed_data();
    void onlyAPrivateFolderOfTheUsersIsUsed();
};

void TestClipboardNotes::loadsTheNewestReadableSource_data()
{
    QTest::addColumn<QByteArray>("primary");
    QTest::addColumn<QByteArray>("backup");
    QTest::addColumn<QByteArray>("copy");
    QTest::addColumn<QStringList>("loaded");
    QTest::addColumn<QStringList>("keptAside");
    const QByteArray none;
    const QByteArray damaged("[{\"id\":\"A\",\"title\":");
    // Valid JSON, but a note lacks a key.
    const QByteArray incomplete(R"([{"id":"A","title":"t","notes":[{"id":"B","text":"x","createdAt":1}],)"
                                R"("createdAt":1,"updatedAt":1}])");
    const QString stamp = QStringLiteral("20260101-120000");
    const QString primaryAside = ClipboardNotesService::fileName + QStringLiteral(".corrupt-") + stamp;
    const QString backupAside = ClipboardNotesService::backupFileName + QStringLiteral(".corrupt-") + stamp;

    QTest::newRow("first start") << none << none << none << QStringList {} << QStringList {};
    QTest::newRow("primary") << tabsTitled("P") << tabsTitled("B") << none << QStringList { "P" } << QStringList {};
    QTest::newRow("damaged primary, good backup")
        << damaged << tabsTitled("B") << none << QStringList { "B" } << QStringList { primaryAside };
    QTest::newRow("incomplete primary, good backup")
        << incomplete << tabsTitled("B") << none << QStringList { "B" } << QStringList { primaryAside };
    QTest::newRow("both damaged, good copy")
        << damaged << damaged << tabsTitled("C") << QStringList { "C" } << QStringList {};
    QTest::newRow("both damaged, nothing else")
        << damaged << damaged << none << QStringList {} << QStringList { backupAside, primaryAside };
    QTest::newRow("copy newer than readable files")
        << tabsTitled("P") << tabsTitled("B") << tabsTitled("C") << QStringList { "C" } << QStringList {};
    QTest::newRow("damaged copy") << tabsTitled("P") << none << damaged << QStringList { "P" } << QStringList {};
    QTest::newRow("empty primary") << QByteArray("") << tabsTitled("B") << none << QStringList { "B" }
                                   << QStringList { primaryAside };
}

void TestClipboardNotes::loadsTheNewestReadableSource()
{
    QFETCH(QByteArray, primary);
    QFETCH(QByteArray, backup);
    QFETCH(QByteArray, copy);
    QFETCH(QStringList, loaded);
    QFETCH(QStringList, keptAside);
    Disk disk;
    QVERIFY(QDir().mkpath(disk.folder));
    if (!primary.isNull())
        QVERIFY(writeFile(disk.primary(), primary));
    if (!backup.isNull())
        QVERIFY(writeFile(disk.backup(), backup));
    if (!copy.isNull())
        disk.defaults.set(ClipboardNotesService::fallbackDefaultsKey, copy);
    // What an interrupted write leaves behind goes.
    QVERIFY(writeFile(disk.primary() + QStringLiteral(".tmp-AbC123"), "half"));

    auto notes = disk.open();
    QCOMPARE(titlesOf(notes->tabs()), loaded);
    QCOMPARE(disk.corruptFiles(), keptAside);
    for (const QString& aside : keptAside)
        QCOMPARE(readFile(disk.folder + QLatin1Char('/') + aside), primary);
    QVERIFY(!QFile::exists(disk.primary() + QStringLiteral(".tmp-AbC123")));
    if (!keptAside.isEmpty())
        QVERIFY(!disk.log.lines.isEmpty());
}

void TestClipboardNotes::nothingIsReadUntilFirstUse()
{
    Disk disk;
    QVERIFY(QDir().mkpath(disk.folder));
    QVERIFY(writeFile(disk.primary(), "not JSON"));
    auto notes = disk.open();
    QVERIFY(disk.corruptFiles().isEmpty());
    QVERIFY(notes->tabs().isEmpty());
    QCOMPARE(disk.corruptFiles().size(), 1);

    // A file that cannot be read at all stays where it is.
    QVERIFY(QDir().mkpath(disk.primary()));
    QVERIFY(writeFile(disk.backup(), tabsTitled("B")));
    QCOMPARE(titlesOf(disk.open()->tabs()), QStringList { "B" });
    QVERIFY(QFileInfo(disk.primary()).isDir());
    QCOMPARE(disk.corruptFiles().size(), 1);
}

void TestClipboardNotes::standardFolder_data()
{
    QTest::addColumn<QByteArray>("dataHome");
    QTest::addColumn<QByteArray>("home");
    QTest::addColumn<QString>("folder");
    const QString temporary = QDir::tempPath() + QStringLiteral("/MendoAI-") + QString::number(::getuid());
    QTest::newRow("data home") << QByteArray("/data") << QByteArray("/home/u") << QStringLiteral("/data/MendoAI");
    QTest::newRow("unset") << QByteArray() << QByteArray("/home/u") << QStringLiteral("/home/u/.local/share/MendoAI");
    QTest::newRow("relative") << QByteArray("data") << QByteArray("/home/u")
                              << QStringLiteral("/home/u/.local/share/MendoAI");
    QTest::newRow("no home") << QByteArray() << QByteArray() << temporary;
}

void TestClipboardNotes::standardFolder()
{
    QFETCH(QByteArray, dataHome);
    QFETCH(QByteArray, home);
    QFETCH(QString, folder);
    const QByteArray savedDataHome = qgetenv("XDG_DATA_HOME");
    const QByteArray savedHome = qgetenv("HOME");
    auto restore = qScopeGuard([&] {
        qputenv("XDG_DATA_HOME", savedDataHome);
        qputenv("HOME", savedHome);
    });
    for (const auto& [name, value] : { std::pair { "XDG_DATA_HOME", dataHome }, std::pair { "HOME", home } }) {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    QCOMPARE(ClipboardNotesService::standardFolder(), folder);
}

void TestClipboardNotes::titles_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("stored");
    const QString forty = QStringLiteral("0123456789").repeated(4);
    QString emoji;
    for (int i = 0; i < 32; ++i)
        emoji += QStringLiteral("👩🏽‍💻");
    QTest::newRow("blank") << QStringLiteral(" \n\t ") << QStringLiteral("Notes");
    QTest::newRow("trimmed") << QStringLiteral("  Work  ") << QStringLiteral("Work");
    QTest::newRow("40 characters") << forty << forty.left(32);
    QTest::newRow("32 emoji") << emoji << emoji;
    QTest::newRow("33 emoji") << emoji + QStringLiteral("🎄") << emoji;
}

void TestClipboardNotes::titles()
{
    QFETCH(QString, title);
    QFETCH(QString, stored);
    Disk disk;
    auto notes = disk.open();
    const ClipboardNoteTab tab = notes->addTab(title);
    QCOMPARE(tab.title, stored);

    // Renaming to a blank title keeps the name but stamps and saves the tab.
    const QByteArray before = readFile(disk.primary());
    disk.clock.advance(5s);
    notes->renameTab(tab.id, QStringLiteral("   "));
    QCOMPARE(notes->tab(tab.id)->title, stored);
    QCOMPARE(notes->tab(tab.id)->updatedAt, disk.clock.wallNow());
    QVERIFY(readFile(disk.primary()) != before);
    notes->renameTab(tab.id, title + QStringLiteral("x"));
    QCOMPARE(notes->tab(tab.id)->title, ClipboardNotesService::decode(readFile(disk.primary()))->first().title);
}

void TestClipboardNotes::tabAndNoteOperations()
{
    Disk disk;
    auto notes = disk.open();
    QSignalSpy changed(notes.get(), &ClipboardNotesService::tabsChanged);
    const ClipboardNoteTab first = notes->addTab(QStringLiteral("First"));
    const ClipboardNoteTab second = notes->addTab(QStringLiteral("Second"));
    QCOMPARE(titlesOf(notes->tabs()), (QStringList { "First", "Second" }));

    const ClipboardNoteItem older = notes->addNote(first.id, QStringLiteral("  older\n")).value();
    disk.clock.advance(1s);
    const ClipboardNoteItem newer = notes->addNote(first.id, QStringLiteral("newer")).value();
    QCOMPARE(older.text, QStringLiteral("older"));
    QCOMPARE(notes->tab(first.id)->notes, (QList<ClipboardNoteItem> { newer, older }));
    QCOMPARE(notes->tab(first.id)->updatedAt, disk.clock.wallNow());
    QCOMPARE(changed.size(), 4);

    // Refused: nothing changes and nothing is written.
    const QByteArray saved = readFile(disk.primary());
    QVERIFY(!notes->addNote(first.id, QStringLiteral(" \n ")));
    QVERIFY(!notes->addNote(QStringLiteral("no such tab"), QStringLiteral("text")));
    notes->updateNote(first.id, older.id, QStringLiteral("\n"));
    notes->updateNote(first.id, QStringLiteral("no such note"), QStringLiteral("text"));
    notes->renameTab(QStringLiteral("no such tab"), QStringLiteral("name"));
    notes->deleteNote(QStringLiteral("no such tab"), older.id);
    QCOMPARE(readFile(disk.primary()), saved);
    QCOMPARE(changed.size(), 4);

    disk.clock.advance(1s);
    notes->updateNote(first.id, older.id, QStringLiteral(" edited "));
    const ClipboardNoteItem edited = notes->tab(first.id)->notes[1];
    QCOMPARE(edited.text, QStringLiteral("edited"));
    QCOMPARE(edited.createdAt, older.createdAt);
    QCOMPARE(edited.updatedAt, disk.clock.wallNow());

    // An unknown note in a known tab still stamps the tab and saves.
    disk.clock.advance(1s);
    const QByteArray beforeDelete = readFile(disk.primary());
    notes->deleteNote(second.id, QStringLiteral("no such note"));
    QCOMPARE(notes->tab(second.id)->updatedAt, disk.clock.wallNow());
    QVERIFY(readFile(disk.primary()) != beforeDelete);
    notes->deleteNote(first.id, newer.id);
    QCOMPARE(notes->tab(first.id)->notes, QList<ClipboardNoteItem> { edited });

    notes->deleteTab(first.id);
    notes->deleteTab(second.id);
    QVERIFY(notes->tabs().isEmpty());
    QCOMPARE(readFile(disk.primary()), QByteArray("[]"));
    QVERIFY(disk.open()->tabs().isEmpty());
}

void TestClipboardNotes::whatIsSavedAndWhere()
{
    Disk disk;
    auto notes = disk.open();
    const ClipboardNoteTab tab = notes->addTab(QStringLiteral("Tab \"one\""));
    auto mode = [](const QString& path) {
        struct stat info { };
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : mode_t(-1);
    };
    QCOMPARE(mode(disk.folder), mode_t(0700));
    const QByteArray previous = readFile(disk.primary());
    disk.clock.advance(1500ms);
    notes->addNote(tab.id, QStringLiteral("line one\nline two\t\"quoted\" ёж 🎄"));

    // The backup is the previous file byte for byte; both are private.
    QCOMPARE(readFile(disk.backup()), previous);
    QCOMPARE(mode(disk.primary()), mode_t(0600));
    QCOMPARE(mode(disk.backup()), mode_t(0600));

    // Every key, dates as seconds since 2001, upper-case ids, compact.
    const QByteArray bytes = readFile(disk.primary());
    QCOMPARE(bytes, ClipboardNotesService::encode(notes->tabs()));
    QVERIFY(!bytes.contains('\n'));
    const QJsonArray tabs = QJsonDocument::fromJson(bytes).array();
    QCOMPARE(tabs.size(), 1);
    const QJsonObject stored = tabs[0].toObject();
    QCOMPARE(stored.keys(), (QStringList { "createdAt", "id", "notes", "title", "updatedAt" }));
    const QJsonObject storedNote = stored[QStringLiteral("notes")].toArray()[0].toObject();
    QCOMPARE(storedNote.keys(), (QStringList { "createdAt", "id", "text", "updatedAt" }));
    QCOMPARE(storedNote[QStringLiteral("text")].toString(), QStringLiteral("line one\nline two\t\"quoted\" ёж 🎄"));
    const double since2001 = QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC).msecsTo(disk.clock.wallNow()) / 1000.0;
    QCOMPARE(storedNote[QStringLiteral("createdAt")].toDouble(), since2001);
    QCOMPARE(stored[QStringLiteral("updatedAt")].toDouble(), since2001);
    static const QRegularExpression uuid(
        QStringLiteral("\\A[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\z"));
    QVERIFY(uuid.match(stored[QStringLiteral("id")].toString()).hasMatch());
    QVERIFY(uuid.match(storedNote[QStringLiteral("id")].toString()).hasMatch());
    QCOMPARE(ClipboardNotesService::decode(bytes), std::optional<QList<ClipboardNoteTab>>(notes->tabs()));
    QVERIFY(!disk.copy());
}

void TestClipboardNotes::aFailedWriteGoesToTheCopyWhichWinsUntilTheNextGoodWrite()
{
    Disk disk;
    disk.open()->addTab(QStringLiteral("Old"));
    // The older notes only in the backup; where the notes file belongs, a
    // folder: it can be neither read nor replaced.
    QVERIFY(QFile::rename(disk.primary(), disk.backup()));
    QVERIFY(QDir().mkpath(disk.primary()));

    auto notes = disk.open();
    QCOMPARE(titlesOf(notes->tabs()), QStringList { "Old" });
    notes->addTab(QStringLiteral("Newer"));
    QCOMPARE(disk.copy(), ClipboardNotesService::encode(notes->tabs()));

    // A restart takes the newer copy over the older readable backup.
    notes = disk.open();
    QCOMPARE(titlesOf(notes->tabs()), (QStringList { "Old", "Newer" }));

    QVERIFY(QDir(disk.primary()).removeRecursively());
    notes->addTab(QStringLiteral("Newest"));
    QVERIFY(!disk.copy());
    QCOMPARE(titlesOf(disk.open()->tabs()), (QStringList { "Old", "Newer", "Newest" }));
}

void TestClipboardNotes::aReadOnlyFolderKeepsEveryChangeInTheCopy()
{
    Disk disk;
    disk.open()->addTab(QStringLiteral("Before"));
    const auto writable = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    QVERIFY(QFile::setPermissions(disk.folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    auto restore = qScopeGuard([&] { QFile::setPermissions(disk.folder, writable); });
    QStringList before { QStringLiteral("Before") };
    if (::access(QFile::encodeName(disk.folder).constData(), W_OK) == 0) {
        // Root writes anyway: a folder that cannot even be made instead.
        QVERIFY(writeFile(disk.dir.filePath(QStringLiteral("file")), "x"));
        disk.folder = disk.dir.filePath(QStringLiteral("file/MendoAI"));
        before.clear();
    }

    auto notes = disk.open();
    QCOMPARE(titlesOf(notes->tabs()), before);
    const ClipboardNoteTab tab = notes->addTab(QStringLiteral("During"));
    QCOMPARE(disk.copy(), ClipboardNotesService::encode(notes->tabs()));
    notes->addNote(tab.id, QStringLiteral("kept"));
    QCOMPARE(disk.copy(), ClipboardNotesService::encode(notes->tabs()));
    const QList<ClipboardNoteTab> expected = notes->tabs();
    QCOMPARE(disk.open()->tabs(), expected);
}

void TestClipboardNotes::aCrashDuringASaveLosesNothing()
{
    // A child saves note after note and tells after each save how many it
    // has; it is killed at a random moment. Then the notes on disk must be
    // those of the last save it finished, or of the one it was in.
    for (int run = 0; run < 25; ++run) {
        Disk disk;
        int pipeFds[2];
        QCOMPARE(::pipe(pipeFds), 0);
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            ::close(pipeFds[0]);
            auto notes = disk.open();
            const QString tab = notes->addTab(QStringLiteral("Crash")).id;
            const QString text = QStringLiteral("note text ").repeated(100);
            for (int n = 1;; ++n) {
                notes->addNote(tab, text + QString::number(n));
                if (::write(pipeFds[1], &n, sizeof n) != sizeof n)
                    ::_exit(1);
            }
        }
        ::close(pipeFds[1]);
        QThread::usleep(QRandomGenerator::global()->bounded(2000, 60000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        int done = -1;
        for (int n = 0; ::read(pipeFds[0], &n, sizeof n) == sizeof n;)
            done = n;
        ::close(pipeFds[0]);

        const QList<ClipboardNoteTab> tabs = disk.open()->tabs();
        QVERIFY2(disk.corruptFiles().isEmpty(), qPrintable(disk.corruptFiles().join(QLatin1Char(' '))));
        if (done < 0) {
            // Killed before its first note: the tab alone, or nothing yet.
            QVERIFY(tabs.size() <= 1);
            if (!tabs.isEmpty())
                QVERIFY(tabs[0].notes.size() <= 1);
            continue;
        }
        QCOMPARE(tabs.size(), 1);
        const qsizetype kept = tabs[0].notes.size();
        QVERIFY2(kept == done || kept == done + 1,
            qPrintable(QStringLiteral("run %1: %2 notes on disk, %3 saved").arg(run).arg(kept).arg(done)));
        QVERIFY(tabs[0].notes.first().text.endsWith(QString::number(kept)));
    }
}

void TestClipboardNotes::aNotesFileThatCannotBeReadIsNeverReplaced()
{
    // Someone ran MendoAI once as root: its notes file is root's now. The
    // user's MendoAI cannot read it, and must not put a file of its own in
    // its place or give up the backup for it.
    Disk disk;
    {
        auto notes = disk.open();
        const QString tab = notes->addTab(QStringLiteral("Tab")).id;
        notes->addNote(tab, QStringLiteral("in the backup"));
        notes->addNote(tab, QStringLiteral("in the unreadable file"));
    }
    const QByteArray primary = readFile(disk.primary());
    const QByteArray backup = readFile(disk.backup());
    const QString defaultsPath = disk.dir.filePath(QStringLiteral("config/defaults.json"));
    const bool root = ::geteuid() == 0;
    constexpr uid_t kNobody = 65534;
    QVERIFY(QDir().mkpath(QFileInfo(defaultsPath).absolutePath()));
    if (root) {
        // The user owns the folder and the backup; root the notes file.
        QVERIFY(QFile::setPermissions(disk.dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                | QFileDevice::ExeOwner | QFileDevice::ExeOther | QFileDevice::ReadOther));
        for (const QString& path : { disk.folder, disk.backup(), QFileInfo(defaultsPath).absolutePath() })
            QCOMPARE(::chown(QFile::encodeName(path).constData(), kNobody, kNobody), 0);
        QCOMPARE(::chmod(QFile::encodeName(disk.primary()).constData(), 0600), 0);
    } else {
        QCOMPARE(::chmod(QFile::encodeName(disk.primary()).constData(), 0), 0);
    }

    // The user's MendoAI, in a process of its own for the change of user.
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        if (root && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(10);
        FakeClock clock;
        RecordingSystemLog log;
        JsonFileUserDefaults defaults(defaultsPath, clock);
        ClipboardNotesService notes(disk.folder, defaults, clock, &log);
        if (notes.tabs().size() != 1 || notes.tabs()[0].notes.size() != 1)
            ::_exit(11);
        notes.addNote(notes.tabs()[0].id, QStringLiteral("the newest note"));
        notes.addNote(notes.tabs()[0].id, QStringLiteral("and one more"));
        defaults.flush();
        const bool named = std::any_of(log.lines.cbegin(), log.lines.cend(),
            [&](const QString& line) { return line.contains(disk.primary()); });
        ::_exit(named ? 0 : 12);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);

    QCOMPARE(readFile(disk.primary()), primary);
    QCOMPARE(readFile(disk.backup()), backup);
    FakeClock clock;
    JsonFileUserDefaults defaults(defaultsPath, clock);
    ClipboardNotesService again(disk.folder, defaults, clock);
    QStringList texts;
    for (const ClipboardNoteItem& note : again.tabs().value(0).notes)
        texts << note.text;
    QCOMPARE(texts, (QStringList { "and one more", "the newest note", "in the backup" }));
}

void TestClipboardNotes::onlyAPrivateFolderOfTheUsersIsUsed_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("used");
    QTest::newRow("open to everyone") << "loose" << true;
    QTest::newRow("a link to a folder") << "link" << false;
    QTest::newRow("another user's") << "foreign" << false;
    QTest::newRow("a file") << "file" << false;
}

void TestClipboardNotes::onlyAPrivateFolderOfTheUsersIsUsed()
{
    QFETCH(QString, kind);
    QFETCH(bool, used);
    Disk disk;
    const QString elsewhere = disk.dir.filePath(QStringLiteral("elsewhere"));
    QVERIFY(QDir().mkpath(elsewhere));
    // Planted for us to read.
    QVERIFY(writeFile(elsewhere + QLatin1Char('/') + ClipboardNotesService::fileName, tabsTitled("Planted")));
    if (kind == QLatin1String("loose")) {
        QVERIFY(QDir().mkpath(disk.folder));
        QCOMPARE(::chmod(QFile::encodeName(disk.folder).constData(), 0777), 0);
    } else if (kind == QLatin1String("link")) {
        QVERIFY(QFile::link(elsewhere, disk.folder));
    } else if (kind == QLatin1String("foreign")) {
        if (::geteuid() != 0)
            QSKIP("only root can give a folder to another user");
        QVERIFY(QFile::rename(elsewhere, disk.folder));
        QCOMPARE(::chown(QFile::encodeName(disk.folder).constData(), 65534, 65534), 0);
    } else {
        QVERIFY(writeFile(disk.folder, "x"));
    }
    const QByteArray planted = tabsTitled("Planted");

    auto notes = disk.open();
    QVERIFY(notes->tabs().isEmpty());
    notes->addTab(QStringLiteral("Mine"));
    struct stat info {};
    if (used) {
        QCOMPARE(::lstat(QFile::encodeName(disk.folder).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, 0700u);
        QVERIFY(!disk.copy());
        QCOMPARE(titlesOf(disk.open()->tabs()), QStringList { "Mine" });
        return;
    }
    QCOMPARE(disk.copy(), ClipboardNotesService::encode(notes->tabs()));
    QCOMPARE(disk.log.lines.size(), 1);
    QVERIFY2(disk.log.lines[0].contains(disk.folder), qPrintable(disk.log.lines[0]));
    const QString inside = (kind == QLatin1String("link") ? elsewhere : disk.folder) + QLatin1Char('/');
    if (kind != QLatin1String("file"))
        QCOMPARE(readFile(inside + ClipboardNotesService::fileName), planted);
    QCOMPARE(titlesOf(disk.open()->tabs()), QStringList { "Mine" });
}

QTEST_GUILESS_MAIN(TestClipboardNotes)
#include "test_clipboard_notes.moc"
