#include "engine/FocusService.h"
#include "engine/PasteboardService.h"
#include "engine/PasteboardServiceError.h"
#include "engine/PasteboardSnapshot.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeFocusedTextAccess.h"
#include "fakes/FakeKeyboardEvents.h"
#include "fakes/FakePasteboard.h"
#include "fakes/FakeWorkspace.h"
#include "fakes/RecordingClipboardSuppression.h"

#include <QTest>

using namespace mendo;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(mendo::PasteboardTiming)
Q_DECLARE_METATYPE(mendo::ShortcutResult)
Q_DECLARE_METATYPE(mendo::EditShortcut)
Q_DECLARE_METATYPE(mendo::EditingStyle)

namespace {

const RunningApplication kSelf{50, QStringLiteral("ai.mendo.MendoAI"), 5};
const RunningApplication kEditor{100, QStringLiteral("org.example.Editor"), 11};
const RunningApplication kOther{200, QStringLiteral("org.example.Other"), 21};

// The user's own clipboard, which every borrow must give back as it was.
const QList<PasteboardItem> kUserClipboard{
    {{{QStringLiteral("text/plain"), "user"}, {QStringLiteral("text/html"), "<b>user</b>"}}}};
const QString kRestoreUser = QStringLiteral("write text/plain=user,text/html=<b>user</b>");

struct Result {
    bool done = false;
    QString value;
    QString error;
};

template <class T>
Task<> collect(Task<T> task, Result& result)
{
    try {
        if constexpr (std::is_void_v<T>)
            co_await std::move(task);
        else
            result.value = co_await std::move(task);
    } catch (const std::exception& e) {
        result.error = describeException(e);
    }
    result.done = true;
}

// The service over fakes: the user works in the editor (remembered), MendoAI's
// own panel is in front, and the clipboard holds the user's text and HTML.
// A copy shortcut puts `selection` on the pasteboard, as the editor would.
struct Rig {
    FakeClock clock;
    EventLog log{&clock, {}};
    FakePasteboard pasteboard;
    FakePasteboard primary;
    FakeKeyboardEvents keyboard;
    FakeWorkspace workspace;
    RecordingClipboardSuppression history;
    FakeFocusedTextAccess focused;
    FocusService focus{workspace};
    PasteboardService service{clock, pasteboard, keyboard, focus, history, focused};
    std::optional<QString> selection;
    std::vector<Task<>> tasks;

    explicit Rig(bool rememberEditor = true)
    {
        workspace.applications = {kSelf, kEditor, kOther};
        if (rememberEditor)
            workspace.bringToFront(kEditor);
        workspace.front = kSelf;
        service.setPrimarySelection(primary);
        pasteboard.copyFromOutside(kUserClipboard);
        keyboard.onPost = [this](EditShortcut shortcut) {
            if (shortcut == EditShortcut::Copy && selection)
                pasteboard.copyFromOutside(*selection);
        };
        pasteboard.log = &log;
        keyboard.log = &log;
        workspace.log = &log;
        history.log = &log;
    }

    template <class T>
    void start(Task<T> task, Result& result)
    {
        tasks.push_back(collect(std::move(task), result));
    }
    // Lets virtual time run until everything started has finished.
    void finish() { clock.advance(60s); }
};

QString err(PasteboardServiceError::Code code)
{
    return PasteboardServiceError::message(code);
}

}  // namespace

class TestPasteboardService : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void errorMessages();
    void snapshotRoundTrip_data();
    void snapshotRoundTrip();
    void readSequence_data();
    void readSequence();
    void readFallback_data();
    void readFallback();
    void readShortcutFailures_data();
    void readShortcutFailures();
    void modifierWait_data();
    void modifierWait();
    void pasteSequence_data();
    void pasteSequence();
    void pasteOutcomes_data();
    void pasteOutcomes();
    void pasteTarget_data();
    void pasteTarget();
    void pasteWaitsForTheTargetToFetch_data();
    void pasteWaitsForTheTargetToFetch();
    void readIgnoresAClipboardManagersRefill_data();
    void readIgnoresAClipboardManagersRefill();
    void terminalReadsPrimaryWithoutKeys_data();
    void terminalReadsPrimaryWithoutKeys();
    void terminalPastesWithItsOwnKey_data();
    void terminalPastesWithItsOwnKey();
    void readWithoutTargetUsesFrontApplication();
    void readNeverCopiesFromOwnWindow_data();
    void readNeverCopiesFromOwnWindow();
    void overlappingBorrowsKeepUserClipboard();
    void replaceViaAccessibility();
};

void TestPasteboardService::errorMessages()
{
    using E = PasteboardServiceError;
    const QList<std::pair<E::Code, const char*>> cases{
        {E::emptyText, "Nothing to paste."},
        {E::emptySelection, "No selected text."},
        {E::missingAccessibilityPermission, "Accessibility permission is required for paste."},
        {E::pasteTargetUnavailable, "No app to paste into."},
        {E::pasteEditorUnavailable, "No editable field found in the target app."},
        {E::pasteNotApplied, "The paste shortcut was sent, but the field did not change."},
        {E::pasteEventFailed, "Could not send paste shortcut."},
        {E::copyEventFailed, "Could not send copy shortcut."},
    };
    for (const auto& [code, message] : cases) {
        QCOMPARE(E(code).description(), QString::fromUtf8(message));
        QCOMPARE(describeException(E(code)), QString::fromUtf8(message));
    }
}

void TestPasteboardService::snapshotRoundTrip_data()
{
    QTest::addColumn<QList<PasteboardItem>>("before");
    QTest::addColumn<QStringList>("unreadable");
    QTest::addColumn<QList<PasteboardItem>>("after");
    QTest::addColumn<QStringList>("writes");

    const PasteboardItem file1{{{QStringLiteral("text/uri-list"), "file:///a"}, {QStringLiteral("text/plain"), "a"}}};
    const PasteboardItem file2{{{QStringLiteral("text/uri-list"), "file:///b"}, {QStringLiteral("text/plain"), "b"}}};
    QTest::newRow("empty pasteboard: restore only clears")
        << QList<PasteboardItem>{} << QStringList{} << QList<PasteboardItem>{} << QStringList{QStringLiteral("clear")};
    QTest::newRow("several items keep their order and types")
        << QList<PasteboardItem>{file1, file2} << QStringList{} << QList<PasteboardItem>{file1, file2}
        << QStringList{QStringLiteral("clear"),
                       QStringLiteral("write text/uri-list=file:///a,text/plain=a|text/uri-list=file:///b,text/plain=b")};
    const PasteboardItem rich{{{QStringLiteral("text/html"), "<i>x</i>"}, {QStringLiteral("image/png"), "\x89PNG"}}};
    QTest::newRow("unreadable type is dropped, the rest comes back")
        << QList<PasteboardItem>{rich} << QStringList{QStringLiteral("image/png")}
        << QList<PasteboardItem>{{{{QStringLiteral("text/html"), "<i>x</i>"}}}}
        << QStringList{QStringLiteral("clear"), QStringLiteral("write text/html=<i>x</i>")};
    QTest::newRow("item with nothing readable keeps its place")
        << QList<PasteboardItem>{rich, file1} << QStringList{QStringLiteral("image/png"), QStringLiteral("text/html")}
        << QList<PasteboardItem>{{}, file1}
        << QStringList{QStringLiteral("clear"), QStringLiteral("write |text/uri-list=file:///a,text/plain=a")};
}

void TestPasteboardService::snapshotRoundTrip()
{
    QFETCH(QList<PasteboardItem>, before);
    QFETCH(QStringList, unreadable);
    QFETCH(QList<PasteboardItem>, after);
    QFETCH(QStringList, writes);

    FakePasteboard pasteboard;
    pasteboard.copyFromOutside(before);
    pasteboard.unreadableTypes = QSet<QString>(unreadable.begin(), unreadable.end());
    const PasteboardSnapshot snapshot = PasteboardSnapshot::capture(pasteboard);
    pasteboard.copyFromOutside(QStringLiteral("temporary"));
    snapshot.restore(pasteboard);

    QCOMPARE(pasteboard.items, after);
    QCOMPARE(pasteboard.writes, writes);
}

void TestPasteboardService::readSequence_data()
{
    QTest::addColumn<PasteboardTiming>("timing");
    QTest::addColumn<bool>("selectAll");
    QTest::addColumn<QString>("selection");
    QTest::addColumn<int>("copyLatencyMs");
    QTest::addColumn<QStringList>("expectedLog");
    QTest::addColumn<QString>("expectedText");
    QTest::addColumn<QString>("expectedError");

    const QStringList borrow{QStringLiteral("0 suppress 3.5"), QStringLiteral("0 read items"),
                             QStringLiteral("0 activate org.example.Editor 100")};
    auto giveBack = [](int at) {
        return QStringList{QStringLiteral("%1 clear").arg(at), QStringLiteral("%1 ").arg(at) + kRestoreUser,
                           QStringLiteral("%1 finish").arg(at)};
    };

    QTest::newRow("standard, select all; copied text keeps its spaces")
        << PasteboardTiming::standard() << true << QStringLiteral("  Hello\n") << 0
        << borrow
            + QStringList{QStringLiteral("180 modifiers"), QStringLiteral("180 post SelectAll"),
                          QStringLiteral("300 clear"), QStringLiteral("300 modifiers"), QStringLiteral("300 post Copy")}
            + giveBack(480)
        << QStringLiteral("  Hello\n") << QString();
    QTest::newRow("standard, blank copies: three attempts waiting 180, 300, 420 ms")
        << PasteboardTiming::standard() << false << QStringLiteral(" \n\t") << 0
        << borrow
            + QStringList{QStringLiteral("180 clear"), QStringLiteral("180 modifiers"), QStringLiteral("180 post Copy"),
                          QStringLiteral("360 clear"), QStringLiteral("360 modifiers"), QStringLiteral("360 post Copy"),
                          QStringLiteral("660 clear"), QStringLiteral("660 modifiers"), QStringLiteral("660 post Copy")}
            + giveBack(1080)
        << QString() << err(PasteboardServiceError::emptySelection);
    QTest::newRow("quick: no waits, text taken as soon as it is there")
        << PasteboardTiming::quick() << false << QStringLiteral("Ghbdtn") << 0
        << borrow + QStringList{QStringLiteral("0 clear"), QStringLiteral("0 post Copy")} + giveBack(0)
        << QStringLiteral("Ghbdtn") << QString();
    QTest::newRow("quick, select all, slow target: polled until the copy lands")
        << PasteboardTiming::quick() << true << QStringLiteral("late") << 37
        << borrow
            + QStringList{QStringLiteral("0 post SelectAll"), QStringLiteral("0 clear"), QStringLiteral("0 post Copy")}
            + giveBack(38)
        << QStringLiteral("late") << QString();
    QTest::newRow("quick, nothing copied: each attempt polls 120 ms")
        << PasteboardTiming::quick() << false << QString() << 0
        << borrow
            + QStringList{QStringLiteral("0 clear"), QStringLiteral("0 post Copy"), QStringLiteral("120 clear"),
                          QStringLiteral("120 post Copy"), QStringLiteral("240 clear"), QStringLiteral("240 post Copy")}
            + giveBack(360)
        << QString() << err(PasteboardServiceError::emptySelection);
}

void TestPasteboardService::readSequence()
{
    QFETCH(PasteboardTiming, timing);
    QFETCH(bool, selectAll);
    QFETCH(QString, selection);
    QFETCH(int, copyLatencyMs);
    QFETCH(QStringList, expectedLog);
    QFETCH(QString, expectedText);
    QFETCH(QString, expectedError);

    Rig rig;
    std::vector<std::unique_ptr<Timer>> pending;
    rig.keyboard.onPost = [&](EditShortcut shortcut) {
        if (shortcut != EditShortcut::Copy || selection.isNull())
            return;
        if (copyLatencyMs == 0)
            rig.pasteboard.copyFromOutside(selection);
        else
            pending.push_back(rig.clock.singleShot(Millis(copyLatencyMs),
                                                   [&] { rig.pasteboard.copyFromOutside(selection); }));
    };
    Result result;
    rig.start(rig.service.readSelectedTextTransient(selectAll, false, timing), result);
    rig.finish();

    QVERIFY(result.done);
    QCOMPARE(rig.log.entries, expectedLog);
    QCOMPARE(result.value, expectedText);
    QCOMPARE(result.error, expectedError);
    QCOMPARE(rig.pasteboard.items, kUserClipboard);
}

void TestPasteboardService::readFallback_data()
{
    QTest::addColumn<bool>("fallback");
    QTest::addColumn<bool>("selectAll");
    QTest::addColumn<ShortcutResult>("selectAllResult");
    QTest::addColumn<std::optional<QString>>("selected");
    QTest::addColumn<std::optional<QString>>("value");
    QTest::addColumn<QString>("expected");

    const QString none = err(PasteboardServiceError::emptySelection);
    const auto some = [](const char* text) { return std::optional<QString>(QString::fromUtf8(text)); };
    const std::optional<QString> absent;
    QTest::newRow("selected text of the element") << true << false << ShortcutResult::Posted << some(" picked ")
                                                  << some("whole field") << QStringLiteral(" picked ");
    QTest::newRow("empty selected text does not fall through to the value")
        << true << true << ShortcutResult::Posted << some("") << some("whole field") << none;
    QTest::newRow("whole value after select-all was sent")
        << true << true << ShortcutResult::Posted << absent << some("whole field") << QStringLiteral("whole field");
    QTest::newRow("whole value never counts without select-all")
        << true << false << ShortcutResult::Posted << absent << some("whole field") << none;
    QTest::newRow("select-all skipped (terminal): value does not count")
        << true << true << ShortcutResult::Skipped << absent << some("whole field") << none;
    QTest::newRow("blank reading") << true << false << ShortcutResult::Posted << some("  \n") << absent << none;
    QTest::newRow("fallback not asked for") << false << false << ShortcutResult::Posted << some("picked") << absent
                                            << none;
}

void TestPasteboardService::readFallback()
{
    QFETCH(bool, fallback);
    QFETCH(bool, selectAll);
    QFETCH(ShortcutResult, selectAllResult);
    QFETCH(std::optional<QString>, selected);
    QFETCH(std::optional<QString>, value);
    QFETCH(QString, expected);

    Rig rig;  // the copy yields nothing
    rig.keyboard.results[EditShortcut::SelectAll] = selectAllResult;
    rig.focused.reading = {selected, value};
    Result result;
    rig.start(rig.service.readSelectedTextTransient(selectAll, fallback, PasteboardTiming::quick()), result);
    rig.finish();

    QVERIFY(result.done);
    QCOMPARE(result.error.isEmpty() ? result.value : result.error, expected);
    QCOMPARE(rig.pasteboard.items, kUserClipboard);
    QCOMPARE(rig.history.calls.last(), QStringLiteral("finish"));
}

void TestPasteboardService::readShortcutFailures_data()
{
    QTest::addColumn<EditShortcut>("shortcut");
    QTest::addColumn<ShortcutResult>("failure");
    QTest::newRow("select-all cannot be sent") << EditShortcut::SelectAll << ShortcutResult::Failed;
    QTest::newRow("copy without synthetic input") << EditShortcut::Copy << ShortcutResult::NotPermitted;
    QTest::newRow("copy cannot be sent") << EditShortcut::Copy << ShortcutResult::Failed;
}

void TestPasteboardService::readShortcutFailures()
{
    QFETCH(EditShortcut, shortcut);
    QFETCH(ShortcutResult, failure);

    Rig rig;
    rig.selection = QStringLiteral("text");
    rig.focused.reading = {QStringLiteral("not consulted"), std::nullopt};
    rig.keyboard.results[shortcut] = failure;
    Result result;
    rig.start(rig.service.readSelectedTextTransient(true, true, PasteboardTiming::standard()), result);
    rig.finish();

    QCOMPARE(result.error, err(PasteboardServiceError::copyEventFailed));
    QCOMPARE(rig.pasteboard.items, kUserClipboard);
    QCOMPARE(rig.history.calls, (QStringList{QStringLiteral("suppress 3.5"), QStringLiteral("finish")}));
}

void TestPasteboardService::modifierWait_data()
{
    QTest::addColumn<int>("releaseAfterMs");
    QTest::addColumn<int>("copyPostedAt");
    QTest::newRow("released while waiting: next 35 ms check") << 80 << 180 + 105;
    QTest::newRow("never released: gives up after 16 x 35 ms") << -1 << 180 + 560;
}

void TestPasteboardService::modifierWait()
{
    QFETCH(int, releaseAfterMs);
    QFETCH(int, copyPostedAt);

    Rig rig;
    rig.selection = QStringLiteral("text");
    rig.keyboard.held = Qt::ShiftModifier | Qt::AltModifier;
    std::unique_ptr<Timer> release;
    if (releaseAfterMs >= 0)
        release = rig.clock.singleShot(Millis(180 + releaseAfterMs), [&] { rig.keyboard.held = {}; });
    Result result;
    rig.start(rig.service.readSelectedTextTransient(false, false, PasteboardTiming::standard()), result);
    rig.finish();

    QCOMPARE(result.value, QStringLiteral("text"));
    QVERIFY2(rig.log.entries.contains(QStringLiteral("%1 post Copy").arg(copyPostedAt)),
             qPrintable(rig.log.entries.join(QLatin1Char('\n'))));
}

void TestPasteboardService::pasteSequence_data()
{
    QTest::addColumn<PasteboardTiming>("timing");
    QTest::addColumn<QStringList>("expectedLog");
    const QStringList borrow{QStringLiteral("0 suppress 3.5"), QStringLiteral("0 read items"),
                             QStringLiteral("0 activate org.example.Editor 100")};
    QTest::newRow("standard") << PasteboardTiming::standard()
                              << borrow
            + QStringList { QStringLiteral("180 set \"Fixed\""), QStringLiteral("360 modifiers"),
                  QStringLiteral("360 post Paste"), QStringLiteral("360 served"), QStringLiteral("1660 clear"),
                  QStringLiteral("1660 ") + kRestoreUser, QStringLiteral("1660 finish") };
    QTest::newRow("quick") << PasteboardTiming::quick()
                           << borrow
            + QStringList { QStringLiteral("0 set \"Fixed\""), QStringLiteral("0 post Paste"),
                  QStringLiteral("0 served"), QStringLiteral("60 clear"), QStringLiteral("60 ") + kRestoreUser,
                  QStringLiteral("60 finish") };
}

void TestPasteboardService::pasteSequence()
{
    QFETCH(PasteboardTiming, timing);
    QFETCH(QStringList, expectedLog);

    Rig rig;
    QString pastedInto;
    rig.keyboard.onPost = [&](EditShortcut) { pastedInto = rig.pasteboard.serve(kEditor.window).value_or(QString()); };
    Result result;
    rig.start(rig.service.pasteTransient(QStringLiteral("Fixed"), std::nullopt, timing), result);
    rig.finish();

    QVERIFY(result.done);
    QCOMPARE(result.error, QString());
    QCOMPARE(rig.log.entries, expectedLog);
    QCOMPARE(pastedInto, QStringLiteral("Fixed"));
    QCOMPARE(rig.pasteboard.items, kUserClipboard);
}

void TestPasteboardService::pasteOutcomes_data()
{
    QTest::addColumn<QString>("scenario");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expectedError");
    QTest::addColumn<QStringList>("expectedHistory");
    QTest::addColumn<QStringList>("expectedWrites");
    QTest::addColumn<QString>("pasteboardAfter");

    const QStringList borrowed{QStringLiteral("suppress 3.5"), QStringLiteral("finish")};
    const QString user = FakePasteboard::describe(kUserClipboard);
    QTest::newRow("empty text refused before anything")
        << "" << "" << err(PasteboardServiceError::emptyText) << QStringList{} << QStringList{} << user;
    QTest::newRow("spaces are pasted") << "" << "   " << QString() << borrowed
                                       << QStringList{QStringLiteral("set \"   \""), QStringLiteral("clear"), kRestoreUser}
                                       << user;
    QTest::newRow("nothing remembered: no target, nothing written")
        << "forget" << "Fixed" << err(PasteboardServiceError::pasteTargetUnavailable) << borrowed << QStringList{}
        << user;
    QTest::newRow("activation refused") << "refuse activation" << "Fixed"
                                        << err(PasteboardServiceError::pasteTargetUnavailable) << borrowed
                                        << QStringList{} << user;
    QTest::newRow("paste shortcut fails: text stays for a manual paste")
        << "paste fails"
        << "Fixed" << err(PasteboardServiceError::pasteEventFailed) << QStringList { QStringLiteral("suppress 3.5") }
        << QStringList { QStringLiteral("set \"Fixed\"") } << QStringLiteral("text/plain=Fixed");
    QTest::newRow("clipboard refuses the text: no paste key, nothing written back")
        << "refuse writes" << "Fixed" << err(PasteboardServiceError::pasteEventFailed) << borrowed << QStringList{}
        << user;
    QTest::newRow("clipboard refuses the first write: taken on a retry")
        << "refuse once" << "Fixed" << QString() << borrowed
        << QStringList{QStringLiteral("set \"Fixed\""), QStringLiteral("clear"), kRestoreUser} << user;
    QTest::newRow("user copies during the restore delay: theirs stays")
        << "user copies" << "Fixed" << QString() << borrowed << QStringList{QStringLiteral("set \"Fixed\"")}
        << QStringLiteral("text/plain=mine");
}

void TestPasteboardService::pasteOutcomes()
{
    QFETCH(QString, scenario);
    QFETCH(QString, text);
    QFETCH(QString, expectedError);
    QFETCH(QStringList, expectedHistory);
    QFETCH(QStringList, expectedWrites);
    QFETCH(QString, pasteboardAfter);

    Rig rig(scenario != QLatin1String("forget"));
    std::unique_ptr<Timer> userCopy;
    if (scenario == QLatin1String("refuse activation"))
        rig.workspace.activationSucceeds = false;
    if (scenario == QLatin1String("paste fails"))
        rig.keyboard.results[EditShortcut::Paste] = ShortcutResult::Failed;
    if (scenario == QLatin1String("refuse writes"))
        rig.pasteboard.refuseWrites = 1000;
    if (scenario == QLatin1String("refuse once"))
        rig.pasteboard.refuseWrites = 1;
    if (scenario == QLatin1String("user copies"))
        userCopy = rig.clock.singleShot(1000ms, [&] { rig.pasteboard.copyFromOutside(QStringLiteral("mine")); });

    Result result;
    rig.start(rig.service.pasteTransient(text, std::nullopt, PasteboardTiming::standard()), result);
    rig.finish();

    QVERIFY(result.done);
    QCOMPARE(result.error, expectedError);
    QCOMPARE(rig.history.calls, expectedHistory);
    QCOMPARE(rig.pasteboard.writes, expectedWrites);
    QCOMPARE(FakePasteboard::describe(rig.pasteboard.items), pasteboardAfter);
    QCOMPARE(rig.keyboard.posted.contains(EditShortcut::Paste), expectedError.isEmpty());
}

void TestPasteboardService::pasteWaitsForTheTargetToFetch_data()
{
    QTest::addColumn<PasteboardTiming>("timing");
    QTest::addColumn<int>("targetFetchMs");  // after the paste key; -1: never
    QTest::addColumn<int>("managerFetchMs");  // a clipboard manager's fetch; -1: none
    QTest::addColumn<int>("restoredAt");

    const auto quick = PasteboardTiming::quick();
    QTest::newRow("quick, fetched at once: back after its 60 ms") << quick << 0 << -1 << 60;
    QTest::newRow("quick, a slow target fetches after 400 ms") << quick << 400 << -1 << 400;
    QTest::newRow("quick, a clipboard manager's fetch is not the target's") << quick << 400 << 0 << 400;
    QTest::newRow("quick, never fetched: back after 1300 ms") << quick << -1 << -1 << 1300;
    QTest::newRow("standard: never sooner than its delay") << PasteboardTiming::standard() << 0 << -1 << 360 + 1300;
}

void TestPasteboardService::pasteWaitsForTheTargetToFetch()
{
    QFETCH(PasteboardTiming, timing);
    QFETCH(int, targetFetchMs);
    QFETCH(int, managerFetchMs);
    QFETCH(int, restoredAt);

    Rig rig;
    QString fetched;
    std::vector<std::unique_ptr<Timer>> fetches;
    rig.keyboard.onPost = [&](EditShortcut) {
        if (managerFetchMs >= 0)
            fetches.push_back(rig.clock.singleShot(Millis(managerFetchMs), [&] { rig.pasteboard.serve(); }));
        if (targetFetchMs >= 0)
            fetches.push_back(rig.clock.singleShot(
                Millis(targetFetchMs), [&] { fetched = rig.pasteboard.serve(kEditor.window).value_or(QString()); }));
    };
    Result result;
    rig.start(rig.service.pasteTransient(QStringLiteral("Fixed"), std::nullopt, timing), result);
    rig.finish();

    QCOMPARE(result.error, QString());
    if (targetFetchMs >= 0)
        QCOMPARE(fetched, QStringLiteral("Fixed"));
    const qsizetype restore = rig.log.entries.indexOf(QStringLiteral("%1 ").arg(restoredAt) + kRestoreUser);
    QVERIFY2(restore > 0, qPrintable(rig.log.entries.join(QLatin1Char('\n'))));
    QCOMPARE(rig.pasteboard.items, kUserClipboard);
}

void TestPasteboardService::readIgnoresAClipboardManagersRefill_data()
{
    QTest::addColumn<quint64>("copyOwner");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a manager puts the user's clipboard back: nothing was selected")
        << quint64(FakePasteboard::kOutsideWindow) << err(PasteboardServiceError::emptySelection);
    QTest::newRow("the application copies text equal to the user's clipboard")
        << quint64(kEditor.window) << QStringLiteral("user");
}

void TestPasteboardService::readIgnoresAClipboardManagersRefill()
{
    QFETCH(quint64, copyOwner);
    QFETCH(QString, expected);

    Rig rig;
    rig.keyboard.onPost = [&](EditShortcut shortcut) {
        if (shortcut == EditShortcut::Copy)
            rig.pasteboard.copyFromOutside(kUserClipboard, copyOwner);
    };
    Result result;
    rig.start(rig.service.readSelectedTextTransient(false, false, PasteboardTiming::quick()), result);
    rig.finish();

    QCOMPARE(result.error.isEmpty() ? result.value : result.error, expected);
    QCOMPARE(rig.pasteboard.items, kUserClipboard);
}

void TestPasteboardService::terminalReadsPrimaryWithoutKeys_data()
{
    QTest::addColumn<EditingStyle>("style");
    QTest::addColumn<quint64>("primaryOwner");
    QTest::addColumn<QString>("expected");
    QTest::newRow("PRIMARY of the terminal itself")
        << EditingStyle::TerminalClipboard << quint64(kEditor.window) << QStringLiteral(" make test\n");
    QTest::newRow("xterm-like terminal") << EditingStyle::TerminalPrimary << quint64(kEditor.window)
                                         << QStringLiteral(" make test\n");
    QTest::newRow("PRIMARY of another program: nothing selected here")
        << EditingStyle::TerminalClipboard << quint64(FakePasteboard::kOutsideWindow)
        << err(PasteboardServiceError::emptySelection);
}

void TestPasteboardService::terminalReadsPrimaryWithoutKeys()
{
    QFETCH(EditingStyle, style);
    QFETCH(quint64, primaryOwner);
    QFETCH(QString, expected);

    Rig rig;
    rig.selection = QStringLiteral("never copied");
    rig.keyboard.style = style;
    rig.primary.copyFromOutside(QStringLiteral(" make test\n"), primaryOwner);
    Result result;
    rig.start(rig.service.readSelectedTextTransient(true, false, PasteboardTiming::standard()), result);
    rig.finish();

    QCOMPARE(result.error.isEmpty() ? result.value : result.error, expected);
    // No select-all (a cursor move) and no copy key (an interrupt in xterm);
    // the clipboard and PRIMARY stay as they were, with their owners.
    QVERIFY(rig.keyboard.posted.isEmpty());
    QVERIFY(rig.pasteboard.writes.isEmpty());
    QVERIFY(rig.primary.writes.isEmpty());
    QCOMPARE(rig.history.calls, (QStringList { QStringLiteral("suppress 3.5"), QStringLiteral("finish") }));
}

void TestPasteboardService::terminalPastesWithItsOwnKey_data()
{
    QTest::addColumn<EditingStyle>("style");
    QTest::addColumn<bool>("throughPrimary");
    QTest::newRow("Control+Shift+V pastes the clipboard") << EditingStyle::TerminalClipboard << false;
    QTest::newRow("Shift+Insert pastes PRIMARY") << EditingStyle::TerminalPrimary << true;
}

void TestPasteboardService::terminalPastesWithItsOwnKey()
{
    QFETCH(EditingStyle, style);
    QFETCH(bool, throughPrimary);

    Rig rig;
    rig.keyboard.style = style;
    const QList<PasteboardItem> usersPrimary { FakePasteboard::textItem(QStringLiteral("selected in the terminal")) };
    rig.primary.copyFromOutside(usersPrimary, kEditor.window);
    FakePasteboard& board = throughPrimary ? rig.primary : rig.pasteboard;
    QString fetched;
    rig.keyboard.onPost = [&](EditShortcut) { fetched = board.serve(kEditor.window).value_or(QString()); };
    Result result;
    rig.start(rig.service.pasteTransient(QStringLiteral("Fixed"), std::nullopt, PasteboardTiming::quick()), result);
    rig.finish();

    QCOMPARE(result.error, QString());
    QCOMPARE(fetched, QStringLiteral("Fixed"));
    QCOMPARE(rig.keyboard.posted, QList<EditShortcut> { EditShortcut::Paste });
    QCOMPARE(rig.pasteboard.items, kUserClipboard);
    QCOMPARE(rig.primary.items, usersPrimary);
    QCOMPARE((throughPrimary ? rig.pasteboard : rig.primary).writes, QStringList());
}

void TestPasteboardService::pasteTarget_data()
{
    QTest::addColumn<QList<RunningApplication>>("running");
    QTest::addColumn<QString>("explicitTarget");
    QTest::addColumn<QList<RunningApplication>>("expectedActivations");

    const RunningApplication editorAgain{101, kEditor.bundleIdentifier, 12};
    const RunningApplication reusedPid{kEditor.processIdentifier, QStringLiteral("org.example.Stranger"), 31};
    RunningApplication rememberedWindow = kEditor;
    rememberedWindow.window = 11;

    QTest::newRow("remembered process, its remembered window")
        << QList<RunningApplication>{kSelf, RunningApplication{100, kEditor.bundleIdentifier, 99}, kOther} << QString()
        << QList<RunningApplication>{rememberedWindow};
    QTest::newRow("remembered process quit: found by its id")
        << QList<RunningApplication>{kSelf, editorAgain, kOther} << QString()
        << QList<RunningApplication>{editorAgain};
    QTest::newRow("pid reused by another program: found by its id")
        << QList<RunningApplication>{kSelf, reusedPid, editorAgain} << QString()
        << QList<RunningApplication>{editorAgain};
    QTest::newRow("explicit target id") << QList<RunningApplication>{kSelf, kEditor, kOther}
                                        << kOther.bundleIdentifier << QList<RunningApplication>{kOther};
}

void TestPasteboardService::pasteTarget()
{
    QFETCH(QList<RunningApplication>, running);
    QFETCH(QString, explicitTarget);
    QFETCH(QList<RunningApplication>, expectedActivations);

    Rig rig;
    rig.workspace.applications = running;
    Result result;
    rig.start(rig.service.pasteTransient(QStringLiteral("Fixed"),
                                         explicitTarget.isEmpty() ? std::nullopt : std::optional(explicitTarget),
                                         PasteboardTiming::quick()),
              result);
    rig.finish();

    QCOMPARE(result.error, QString());
    QCOMPARE(rig.workspace.activations, expectedActivations);
    QCOMPARE(rig.keyboard.posted, QList<EditShortcut>{EditShortcut::Paste});
}

void TestPasteboardService::readWithoutTargetUsesFrontApplication()
{
    // Nothing remembered: the copy goes to whatever is in front.
    Rig rig(false);
    rig.workspace.front = kOther;
    rig.selection = QStringLiteral("from the front app");
    Result read;
    rig.start(rig.service.readSelectedTextTransient(false, false, PasteboardTiming::standard()), read);
    rig.finish();
    QCOMPARE(read.value, QStringLiteral("from the front app"));
    QVERIFY(rig.workspace.activations.isEmpty());

    // A remembered application already in front is not activated again.
    Rig remembered;
    remembered.selection = QStringLiteral("in front");
    remembered.workspace.front = kEditor;
    Result readRemembered;
    remembered.start(remembered.service.readSelectedTextTransient(false, false, PasteboardTiming::standard()),
                     readRemembered);
    remembered.finish();
    QCOMPARE(readRemembered.value, QStringLiteral("in front"));
    QVERIFY(remembered.workspace.activations.isEmpty());
}

enum class Surroundings { ownIdInFront, ownPidInFront, rememberedQuit, sourceWindowGone };
Q_DECLARE_METATYPE(Surroundings)

void TestPasteboardService::readNeverCopiesFromOwnWindow_data()
{
    QTest::addColumn<Surroundings>("surroundings");
    QTest::addColumn<bool>("selectAll");
    QTest::newRow("own id in front, nothing remembered") << Surroundings::ownIdInFront << false;
    QTest::newRow("own pid in front under another class") << Surroundings::ownPidInFront << true;
    QTest::newRow("remembered application quit") << Surroundings::rememberedQuit << true;
    QTest::newRow("source window gone") << Surroundings::sourceWindowGone << false;
}

// With MendoAI's own window in front a copy would take the text of its own
// list or field; there is nothing to read then, and nothing may be typed.
void TestPasteboardService::readNeverCopiesFromOwnWindow()
{
    QFETCH(Surroundings, surroundings);
    QFETCH(bool, selectAll);

    Rig rig(surroundings == Surroundings::rememberedQuit || surroundings == Surroundings::sourceWindowGone);
    rig.selection = QStringLiteral("General");  // what the own window would copy
    rig.focused.reading = {QStringLiteral("General"), QStringLiteral("General")};
    std::optional<RunningApplication> source;
    switch (surroundings) {
    case Surroundings::ownIdInFront:
        break;
    case Surroundings::ownPidInFront:
        rig.workspace.ownProcessIdentifier = 50;
        rig.workspace.front = RunningApplication{50, QStringLiteral("mendo-dev"), 6};
        break;
    case Surroundings::rememberedQuit:
        rig.workspace.applications = {kSelf, kOther};
        break;
    case Surroundings::sourceWindowGone:
        source = kEditor;
        rig.workspace.closedWindows = {kEditor.window};
        break;
    }
    Result result;
    rig.start(rig.service.readSelectedTextTransient(selectAll, true, PasteboardTiming::standard(), source), result);
    rig.finish();

    QVERIFY(result.done);
    QCOMPARE(result.error, err(PasteboardServiceError::emptySelection));
    QVERIFY(rig.keyboard.posted.isEmpty());
    QVERIFY(rig.pasteboard.writes.isEmpty());
    QCOMPARE(rig.pasteboard.items, kUserClipboard);
    QVERIFY(!rig.log.entries.join(u'|').contains(QStringLiteral("clear")));
    QCOMPARE(rig.history.calls.last(), QStringLiteral("finish"));
}

void TestPasteboardService::overlappingBorrowsKeepUserClipboard()
{
    Rig rig;
    rig.selection = QStringLiteral("selected");
    Result first, paste, second;
    rig.start(rig.service.readSelectedTextTransient(true, false, PasteboardTiming::standard()), first);
    rig.clock.advance(350ms);  // mid-borrow: the pasteboard holds the copied selection
    rig.start(rig.service.pasteTransient(QStringLiteral("Result"), std::nullopt, PasteboardTiming::standard()), paste);
    rig.start(rig.service.readSelectedTextTransient(false, false, PasteboardTiming::quick()), second);
    rig.finish();

    QCOMPARE(first.value, QStringLiteral("selected"));
    QCOMPARE(paste.error, QString());
    QCOMPARE(second.value, QStringLiteral("selected"));
    QCOMPARE(rig.pasteboard.items, kUserClipboard);
    // Each borrow saves only after the previous one gave the pasteboard back,
    // in the order the calls arrived.
    QStringList borrowEdges;
    for (const QString& entry : rig.log.entries) {
        const QString event = entry.section(QLatin1Char(' '), 1);
        if (event == QLatin1String("read items") || event == QLatin1String("finish"))
            borrowEdges << event;
        if (event.startsWith(QLatin1String("set ")) || event == QLatin1String("post Copy"))
            borrowEdges << event;
    }
    QCOMPARE(borrowEdges, (QStringList{QStringLiteral("read items"), QStringLiteral("post Copy"),
                                       QStringLiteral("finish"), QStringLiteral("read items"),
                                       QStringLiteral("set \"Result\""), QStringLiteral("finish"),
                                       QStringLiteral("read items"), QStringLiteral("post Copy"),
                                       QStringLiteral("finish")}));
}

void TestPasteboardService::replaceViaAccessibility()
{
    Rig rig;
    QVERIFY(!rig.service.replaceSelectedTextViaAccessibility(QString()));
    QVERIFY(rig.focused.replacements.isEmpty());
    QVERIFY(rig.service.replaceSelectedTextViaAccessibility(QStringLiteral("Привет")));
    rig.focused.acceptsReplacement = false;
    QVERIFY(!rig.service.replaceSelectedTextViaAccessibility(QStringLiteral("x")));
    QCOMPARE(rig.focused.replacements, (QStringList{QStringLiteral("Привет"), QStringLiteral("x")}));
    QVERIFY(rig.pasteboard.writes.isEmpty());
    QVERIFY(rig.history.calls.isEmpty());
}

QTEST_GUILESS_MAIN(TestPasteboardService)
#include "test_pasteboard_service.moc"
