// The clipboard history over a fake pasteboard and virtual time: what a copy
// becomes, what is kept out, the limits, and the stored form.

#include "app/AppStateRig.h"
#include "base/Text.h"
#include "clipboard/ClipboardDates.h"
#include "clipboard/ClipboardHistoryService.h"
#include "fakes/FakePasteboard.h"
#include "fakes/RecordingSystemLog.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <ctime>

using namespace mendo;
using namespace std::chrono_literals;

namespace {

// The application state, a pasteboard and the history attached to both, all
// on the rig's virtual clock; `stored` is put in the user defaults first.
struct HistoryRig {
    explicit HistoryRig(const std::function<void(MendoSettings&)>& settings = {},
        const std::optional<QList<ClipboardHistoryItem>>& stored = {}, const QString& onPasteboard = {})
    {
        // Edited in memory: the settings store's own bounds do not apply.
        if (settings)
            app.state->editSettings(settings);
        if (stored)
            app.defaults.set(ClipboardHistoryService::storageKey, ClipboardHistoryService::encode(*stored));
        if (!onPasteboard.isNull())
            pasteboard.copyFromOutside(onPasteboard);
        history = std::make_unique<ClipboardHistoryService>(app.clock, pasteboard, app.defaults, &log);
        history->attach(*app.state);
        app.clock.flush();
    }

    // Another application copies; the next tick sees it.
    void copy(const QString& text)
    {
        pasteboard.copyFromOutside(text);
        tick();
    }
    void copy(const QList<PasteboardItem>& items)
    {
        pasteboard.copyFromOutside(items);
        tick();
    }
    void tick() { app.clock.advance(ClipboardHistoryService::pollInterval); }
    void edit(const std::function<void(MendoSettings&)>& change)
    {
        app.state->editSettings(change);
        app.clock.flush();
    }

    QStringList texts() const
    {
        QStringList texts;
        for (const ClipboardHistoryItem& item : history->items())
            texts << item.text;
        return texts;
    }
    // The texts as stored, in order.
    QStringList storedTexts() const
    {
        QStringList texts;
        const auto data = app.defaults.data(ClipboardHistoryService::storageKey);
        for (const QJsonValue& value : QJsonDocument::fromJson(data.value_or(QByteArray())).array())
            texts << value[QStringLiteral("text")].toString();
        return texts;
    }

    AppStateRig app;
    FakePasteboard pasteboard;
    RecordingSystemLog log;
    std::unique_ptr<ClipboardHistoryService> history;
};

ClipboardHistoryItem entry(const QString& text, const QDateTime& createdAt, const QString& id = {})
{
    return { id.isEmpty() ? text : id, text, createdAt, mendo::text::graphemeCount(text) };
}

// `count` entries "entry 0" (newest) ... one minute apart before `newest`.
QList<ClipboardHistoryItem> entries(int count, const QDateTime& newest)
{
    QList<ClipboardHistoryItem> items;
    for (int i = 0; i < count; ++i)
        items << entry(QStringLiteral("entry %1").arg(i), newest.addSecs(-60 * i));
    return items;
}

PasteboardItem withTypes(const QString& text, const QList<PasteboardValue>& extra)
{
    PasteboardItem item = FakePasteboard::textItem(text);
    item.values << extra;
    return item;
}

}  // namespace

class TestClipboardHistory : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void whatACopyBecomes_data();
    void whatACopyBecomes();
    void aCopiedAgainTextMovesToTheTopAsNew();
    void concealedCopiesAreConsumedUnrecorded_data();
    void concealedCopiesAreConsumedUnrecorded();
    void aChangeOfOwnerBetweenReadsRecordsNothing();
    void ourOwnTrafficStaysOut();
    void theTextAtLaunchIsTakenAsSeen();
    void historySwitchedOffAndOn();
    void historySwitchedOnAgainOnChangeNotices();
    void countLimitIsClamped_data();
    void countLimitIsClamped();
    void dayLimits_data();
    void dayLimits();
    void cutOffCountsCalendarDaysAcrossDaylightSaving();
    void idForm_data();
    void idForm();
    void storedForm();
    void storedEntriesDecodeOneByOne();
    void unreadableStoredHistoryIsKeptAside_data();
    void unreadableStoredHistoryIsKeptAside();
    void removeAndClearSave();
};

void TestClipboardHistory::initTestCase()
{
    // For the calendar arithmetic across a daylight-saving change.
    qputenv("TZ", "Europe/Berlin");
    tzset();
}

void TestClipboardHistory::whatACopyBecomes_data()
{
    QTest::addColumn<QStringList>("copies");
    QTest::addColumn<QStringList>("history");
    QTest::newRow("blank") << QStringList { QStringLiteral(" \n\t\u00a0") } << QStringList {};
    QTest::newRow("one letter") << QStringList { QStringLiteral("  a \n") } << QStringList {};
    QTest::newRow("one character of two code points") << QStringList { QStringLiteral("e\u0301") } << QStringList {};
    QTest::newRow("one emoji with skin tone") << QStringList { QStringLiteral("👍🏽") } << QStringList {};
    QTest::newRow("two characters, trimmed")
        << QStringList { QStringLiteral("\n ok \n") } << QStringList { QStringLiteral("ok") };
    QTest::newRow("same text with other spaces") << QStringList { QStringLiteral("hello"), QStringLiteral("  hello\n") }
                                                 << QStringList { QStringLiteral("hello") };
    QTest::newRow("A B A") << QStringList { QStringLiteral("A1"), QStringLiteral("B2"), QStringLiteral("A1") }
                           << QStringList { QStringLiteral("A1"), QStringLiteral("B2") };
    QTest::newRow("inner spaces kept") << QStringList { QStringLiteral(" a  b ") }
                                       << QStringList { QStringLiteral("a  b") };
}

void TestClipboardHistory::whatACopyBecomes()
{
    QFETCH(QStringList, copies);
    QFETCH(QStringList, history);
    HistoryRig rig;
    for (const QString& text : copies)
        rig.copy(text);
    QCOMPARE(rig.texts(), history);
    QCOMPARE(rig.storedTexts(), history);
    for (const ClipboardHistoryItem& item : rig.history->items())
        QCOMPARE(item.chars, mendo::text::graphemeCount(item.text));
}

void TestClipboardHistory::aCopiedAgainTextMovesToTheTopAsNew()
{
    HistoryRig rig;
    rig.copy(QStringLiteral("first"));
    const ClipboardHistoryItem before = rig.history->items().first();
    rig.app.clock.advance(1500ms);
    rig.copy(QStringLiteral("second"));
    rig.copy(QStringLiteral("first"));
    QCOMPARE(rig.texts(), (QStringList { QStringLiteral("first"), QStringLiteral("second") }));
    const ClipboardHistoryItem after = rig.history->items().first();
    QVERIFY(after.createdAt > before.createdAt);
    QVERIFY(after.id != before.id);
}

void TestClipboardHistory::concealedCopiesAreConsumedUnrecorded_data()
{
    QTest::addColumn<PasteboardItem>("item");
    QTest::addColumn<bool>("hintUnreadable");
    QTest::addColumn<bool>("recorded");
    const QString text = QStringLiteral("hunter22");
    auto marker = [](const char* type) { return PasteboardValue { QString::fromLatin1(type), QByteArray() }; };
    const QString hint = QStringLiteral("x-kde-passwordManagerHint");
    QTest::newRow("concealed") << withTypes(text, { marker("org.nspasteboard.ConcealedType") }) << false << false;
    QTest::newRow("transient") << withTypes(text, { marker("org.nspasteboard.TransientType") }) << false << false;
    QTest::newRow("generated") << withTypes(text, { marker("org.nspasteboard.AutoGeneratedType") }) << false << false;
    QTest::newRow("hint secret") << withTypes(text, { { hint, "secret" } }) << false << false;
    QTest::newRow("hint unreadable") << withTypes(text, { { hint, "secret" } }) << true << false;
    QTest::newRow("hint other value") << withTypes(text, { { hint, "accepted" } }) << false << true;
    QTest::newRow("rich text beside") << withTypes(text, { { QStringLiteral("text/html"), "<b>x</b>" } }) << false
                                      << true;
}

void TestClipboardHistory::concealedCopiesAreConsumedUnrecorded()
{
    QFETCH(PasteboardItem, item);
    QFETCH(bool, hintUnreadable);
    QFETCH(bool, recorded);
    HistoryRig rig;
    if (hintUnreadable)
        rig.pasteboard.unreadableTypes.insert(QStringLiteral("x-kde-passwordManagerHint"));
    rig.copy(QList<PasteboardItem> { item });
    QCOMPARE(rig.texts(), recorded ? QStringList { QStringLiteral("hunter22") } : QStringList {});
    QCOMPARE(rig.history->lastChangeCount(), rig.pasteboard.changeCount());
    // A concealed text is not even remembered as seen.
    QCOMPARE(rig.history->lastText(), recorded ? QStringLiteral("hunter22") : QString());
}

void TestClipboardHistory::aChangeOfOwnerBetweenReadsRecordsNothing()
{
    HistoryRig rig;
    // The password manager takes over after the plain copy's types were read.
    PasteboardItem secret
        = withTypes(QStringLiteral("s3cret!"), { { QStringLiteral("x-kde-passwordManagerHint"), "secret" } });
    rig.pasteboard.onReadTypes = [&] {
        rig.pasteboard.onReadTypes = nullptr;
        rig.pasteboard.copyFromOutside(QList<PasteboardItem> { secret });
    };
    rig.copy(QStringLiteral("plain text"));
    QCOMPARE(rig.texts(), QStringList {});
    QVERIFY(rig.history->lastChangeCount() != rig.pasteboard.changeCount());
    // The next tick reads the new owner whole.
    rig.tick();
    QCOMPARE(rig.texts(), QStringList {});
    QCOMPARE(rig.history->lastChangeCount(), rig.pasteboard.changeCount());
    rig.copy(QStringLiteral("next copy"));
    QCOMPARE(rig.texts(), QStringList { QStringLiteral("next copy") });
}

void TestClipboardHistory::ourOwnTrafficStaysOut()
{
    HistoryRig rig;
    rig.copy(QStringLiteral("user text"));

    // A read: the selection copied and the user's text restored.
    rig.history->suppressCapture(3.5);
    rig.copy(QStringLiteral("selected words"));
    rig.pasteboard.copyFromOutside(QStringLiteral("restored"));
    rig.history->finishTransientPasteboardUse();
    rig.tick();
    rig.copy(QStringLiteral("restored"));
    QCOMPARE(rig.texts(), QStringList { QStringLiteral("user text") });

    // Another application's copy inside the window is consumed for good.
    rig.history->suppressCapture(1.2);
    rig.copy(QStringLiteral("inside the window"));
    rig.app.clock.advance(2s);
    rig.tick();
    QCOMPARE(rig.texts(), QStringList { QStringLiteral("user text") });

    rig.copy(QStringLiteral("after the window"));
    QCOMPARE(rig.texts(), (QStringList { QStringLiteral("after the window"), QStringLiteral("user text") }));
}

void TestClipboardHistory::theTextAtLaunchIsTakenAsSeen()
{
    HistoryRig rig({}, {}, QStringLiteral(" at launch "));
    QCOMPARE(rig.history->lastText(), QStringLiteral("at launch"));
    rig.tick();
    rig.copy(QStringLiteral("at launch"));
    QCOMPARE(rig.texts(), QStringList {});
    rig.copy(QStringLiteral("other"));
    rig.copy(QStringLiteral("at launch"));
    QCOMPARE(rig.texts(), (QStringList { QStringLiteral("at launch"), QStringLiteral("other") }));
}

void TestClipboardHistory::historySwitchedOffAndOn()
{
    HistoryRig rig([](MendoSettings& s) { s.clipboardHistoryEnabled = false; });
    rig.copy(QStringLiteral("while off"));
    rig.history->record(QStringLiteral("recorded directly"));
    QCOMPARE(rig.texts(), QStringList {});

    rig.edit([](MendoSettings& s) { s.clipboardHistoryEnabled = true; });
    rig.tick();
    QCOMPARE(rig.texts(), QStringList { QStringLiteral("while off") });

    // Back on with the last recorded text on the pasteboard: nothing new.
    rig.edit([](MendoSettings& s) { s.clipboardHistoryEnabled = false; });
    rig.copy(QStringLiteral("something"));
    rig.pasteboard.copyFromOutside(QStringLiteral("while off"));
    rig.edit([](MendoSettings& s) { s.clipboardHistoryEnabled = true; });
    rig.tick();
    QCOMPARE(rig.texts(), QStringList { QStringLiteral("while off") });
}

void TestClipboardHistory::historySwitchedOnAgainOnChangeNotices()
{
    // No poll will come: switching on looks at what changed while off.
    AppStateRig app;
    FakePasteboard pasteboard;
    pasteboard.announces = true;
    app.state->editSettings([](MendoSettings& s) { s.clipboardHistoryEnabled = false; });
    ClipboardHistoryService history(app.clock, pasteboard, app.defaults);
    history.attach(*app.state);
    app.clock.flush();
    pasteboard.copyFromOutside(QStringLiteral("while off"));
    app.clock.advance(1s);
    QVERIFY(history.items().isEmpty());
    app.state->editSettings([](MendoSettings& s) { s.clipboardHistoryEnabled = true; });
    app.clock.advance(ClipboardHistoryService::changeSettleDelay);
    QCOMPARE(history.items().size(), 1);
    QCOMPARE(history.items().first().text, QStringLiteral("while off"));
    // Other settings changes read nothing again.
    const int reads = pasteboard.textReads;
    app.state->editSettings([](MendoSettings& s) { s.clipboardLimit = 50; });
    app.clock.advance(1s);
    QCOMPARE(pasteboard.textReads, reads);
}

void TestClipboardHistory::countLimitIsClamped_data()
{
    QTest::addColumn<qint64>("limit");
    QTest::addColumn<int>("kept");
    QTest::newRow("below the least") << qint64(5) << 10;
    QTest::newRow("within") << qint64(250) << 250;
    QTest::newRow("above the most") << qint64(5000) << 1000;
    QTest::newRow("negative") << qint64(-1) << 10;
}

void TestClipboardHistory::countLimitIsClamped()
{
    QFETCH(qint64, limit);
    QFETCH(int, kept);
    const QDateTime now = FakeClock().wallNow();
    const QList<ClipboardHistoryItem> stored = entries(1200, now);
    // The limit applies at launch, at once.
    HistoryRig rig([limit](MendoSettings& s) { s.clipboardLimit = limit; }, stored);
    QCOMPARE(rig.history->items(), stored.mid(0, kept));
    QCOMPARE(rig.storedTexts().size(), kept);

    // And after every record: the oldest entry goes.
    rig.copy(QStringLiteral("newest"));
    QCOMPARE(rig.history->items().size(), kept);
    QCOMPARE(rig.history->items().first().text, QStringLiteral("newest"));
    QCOMPARE(rig.history->items().last(), stored[kept - 2]);
}

void TestClipboardHistory::dayLimits_data()
{
    QTest::addColumn<QString>("days");
    QTest::addColumn<QStringList>("kept");
    const QStringList all { QStringLiteral("today"), QStringLiteral("29 days"), QStringLiteral("31 days") };
    const QStringList recent = all.mid(0, 2);
    QTest::newRow("30") << QStringLiteral("30") << recent;
    QTest::newRow("+30") << QStringLiteral("+30") << recent;
    QTest::newRow("1") << QStringLiteral("1") << QStringList { QStringLiteral("today") };
    QTest::newRow("forever") << QStringLiteral("forever") << all;
    QTest::newRow("0") << QStringLiteral("0") << all;
    QTest::newRow("-3") << QStringLiteral("-3") << all;
    QTest::newRow("abc") << QStringLiteral("abc") << all;
    QTest::newRow("empty") << QString() << all;
    QTest::newRow("leading space") << QStringLiteral(" 30") << all;
    QTest::newRow("trailing space") << QStringLiteral("30 ") << all;
    QTest::newRow("fraction") << QStringLiteral("30.5") << all;
    QTest::newRow("beyond 64 bits") << QStringLiteral("9223372036854775808") << all;
    // Readable, but no calendar reaches that far back.
    QTest::newRow("largest") << QStringLiteral("9223372036854775807") << all;
}

void TestClipboardHistory::dayLimits()
{
    QFETCH(QString, days);
    QFETCH(QStringList, kept);
    const QDateTime now = FakeClock().wallNow();
    const QList<ClipboardHistoryItem> stored { entry(QStringLiteral("today"), now.addSecs(-60)),
        entry(QStringLiteral("29 days"), now.addDays(-29)), entry(QStringLiteral("31 days"), now.addDays(-31)) };
    HistoryRig rig({}, stored);
    QCOMPARE(rig.texts().size(), 3);
    // A settings change prunes by the new value.
    rig.edit([&days](MendoSettings& s) { s.clipboardDays = days; });
    QCOMPARE(rig.texts(), kept);
    QCOMPARE(rig.storedTexts(), kept);
}

void TestClipboardHistory::cutOffCountsCalendarDaysAcrossDaylightSaving()
{
    // Berlin moved to summer time on 29 March 2026. Thirty calendar days
    // before noon on 15 April (10:00 UTC) is noon on 16 March, 11:00 UTC; 30
    // times 24 hours would be an hour earlier.
    const QDateTime now(QDate(2026, 4, 15), QTime(10, 0), Qt::UTC);
    const QDateTime cut = ClipboardHistoryService::cutOff(now, 30).value();
    QCOMPARE(cut.toUTC(), QDateTime(QDate(2026, 3, 16), QTime(11, 0), Qt::UTC));

    AppStateRig app;
    app.state->editSettings([](MendoSettings& s) { s.clipboardDays = QStringLiteral("30"); });
    FakeClock clock(now);
    FakePasteboard pasteboard;
    const QList<ClipboardHistoryItem> stored { entry(QStringLiteral("at 11:30 UTC"), cut.addSecs(30 * 60)),
        entry(QStringLiteral("at 10:30 UTC"), cut.addSecs(-30 * 60)) };
    app.defaults.set(ClipboardHistoryService::storageKey, ClipboardHistoryService::encode(stored));
    ClipboardHistoryService history(clock, pasteboard, app.defaults);
    history.attach(*app.state);
    clock.flush();
    QCOMPARE(history.items(), stored.mid(0, 1));
}

void TestClipboardHistory::idForm_data()
{
    QTest::addColumn<qint64>("msecs");
    QTest::addColumn<qint64>("hash");
    QTest::addColumn<QString>("id");
    QTest::newRow("whole seconds") << qint64(12000) << qint64(5) << QStringLiteral("12.0-5");
    QTest::newRow("half a second") << qint64(12500) << qint64(42) << QStringLiteral("12.5-42");
    QTest::newRow("negative hash") << qint64(12500) << qint64(-7) << QStringLiteral("12.5--7");
    QTest::newRow("today, no exponent") << qint64(1796000000123) << std::numeric_limits<qint64>::min()
                                        << QStringLiteral("1796000000.123--9223372036854775808");
}

void TestClipboardHistory::idForm()
{
    QFETCH(qint64, msecs);
    QFETCH(qint64, hash);
    QFETCH(QString, id);
    QCOMPARE(ClipboardHistoryService::makeId(QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC), hash), id);
}

void TestClipboardHistory::storedForm()
{
    HistoryRig rig;
    rig.copy(QStringLiteral("  ёлка 🎄 \n"));
    const ClipboardHistoryItem item = rig.history->items().first();
    QCOMPARE(item.text, QStringLiteral("ёлка 🎄"));
    QCOMPARE(item.chars, 6);
    QCOMPARE(item.createdAt, rig.app.clock.wallNow());
    static const QRegularExpression idForm(QStringLiteral("\\A(\\d+\\.\\d+)--?\\d+\\z"));
    const QRegularExpressionMatch match = idForm.match(item.id);
    QVERIFY2(match.hasMatch(), qPrintable(item.id));
    QCOMPARE(match.captured(1).toDouble(), item.createdAt.toMSecsSinceEpoch() / 1000.0);

    // Compact JSON, dates in seconds since 2001, read back whole.
    const QList<ClipboardHistoryItem> items { entry(
        QStringLiteral("ab"), QDateTime(QDate(2001, 1, 1), QTime(0, 0, 10, 500), Qt::UTC), QStringLiteral("x")) };
    QCOMPARE(
        ClipboardHistoryService::encode(items), QByteArray(R"([{"chars":2,"createdAt":10.5,"id":"x","text":"ab"}])"));
    QCOMPARE(ClipboardHistoryService::decode(ClipboardHistoryService::encode(rig.history->items()))->items,
        rig.history->items());
}

void TestClipboardHistory::storedEntriesDecodeOneByOne()
{
    const QByteArray stored = R"([
        {"id":"1.0-1","text":"good one","createdAt":800000000.25,"chars":8},
        {"id":"2.0-2","text":"no chars","createdAt":800000000},
        {"id":"3.0-3","text":"fraction","createdAt":800000000,"chars":2.5},
        {"id":"4.0-4","text":"bad date","createdAt":"yesterday","chars":8},
        "not an object",
        {"id":"5.0-5","text":"good two","createdAt":-10,"chars":8,"extra":true}
    ])";
    AppStateRig app;
    FakeClock& clock = app.clock;
    FakePasteboard pasteboard;
    RecordingSystemLog log;
    app.defaults.set(ClipboardHistoryService::storageKey, stored);
    ClipboardHistoryService history(clock, pasteboard, app.defaults, &log);

    QCOMPARE(history.items().size(), 2);
    QCOMPARE(history.items()[0],
        (ClipboardHistoryItem { QStringLiteral("1.0-1"), QStringLiteral("good one"),
            clipboard_dates::fromStored(800000000.25).value(), 8 }));
    QCOMPARE(history.items()[1].createdAt, QDateTime(QDate(2000, 12, 31), QTime(23, 59, 50), Qt::UTC));
    QCOMPARE(log.lines.size(), 1);
    QVERIFY2(log.lines[0].contains(QStringLiteral("4 unreadable")), qPrintable(log.lines[0]));
    QVERIFY(!app.defaults.contains(ClipboardHistoryService::unreadableKey));
    // The launch's prune keeps what was good.
    history.attach(*app.state);
    clock.flush();
    QCOMPARE(ClipboardHistoryService::decode(app.defaults.data(ClipboardHistoryService::storageKey).value())->items,
        history.items());
}

void TestClipboardHistory::unreadableStoredHistoryIsKeptAside_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::newRow("not JSON") << QVariant(QByteArray("[{\"id\":"));
    QTest::newRow("an object") << QVariant(QByteArray(R"({"id":"1.0-1"})"));
    QTest::newRow("not data") << QVariant(QStringLiteral("[]"));
}

void TestClipboardHistory::unreadableStoredHistoryIsKeptAside()
{
    QFETCH(QVariant, stored);
    AppStateRig app;
    FakePasteboard pasteboard;
    RecordingSystemLog log;
    app.defaults.set(ClipboardHistoryService::storageKey, stored);
    ClipboardHistoryService history(app.clock, pasteboard, app.defaults, &log);
    QVERIFY(history.items().isEmpty());
    QCOMPARE(app.defaults.object(ClipboardHistoryService::unreadableKey), std::optional<QVariant>(stored));
    QCOMPARE(log.lines.size(), 1);

    history.attach(*app.state);
    app.clock.flush();
    QCOMPARE(app.defaults.data(ClipboardHistoryService::storageKey), std::optional<QByteArray>("[]"));
    QCOMPARE(app.defaults.object(ClipboardHistoryService::unreadableKey), std::optional<QVariant>(stored));
}

void TestClipboardHistory::removeAndClearSave()
{
    const QDateTime now = FakeClock().wallNow();
    HistoryRig rig({},
        QList<ClipboardHistoryItem> { entry(QStringLiteral("one"), now, QStringLiteral("same")),
            entry(QStringLiteral("two"), now, QStringLiteral("other")),
            entry(QStringLiteral("three"), now, QStringLiteral("same")) });
    QSignalSpy changed(rig.history.get(), &ClipboardHistoryService::itemsChanged);
    rig.history->remove(QStringLiteral("same"));
    QCOMPARE(rig.texts(), QStringList { QStringLiteral("two") });
    QCOMPARE(rig.storedTexts(), QStringList { QStringLiteral("two") });
    QCOMPARE(changed.size(), 1);

    // The application state's clear action reaches the history.
    rig.app.state->setClipboardHistory(rig.history.get());
    rig.app.state->clearClipboardHistory();
    QVERIFY(rig.history->items().isEmpty());
    QCOMPARE(rig.app.defaults.data(ClipboardHistoryService::storageKey), std::optional<QByteArray>("[]"));
    QCOMPARE(changed.size(), 2);
}

QTEST_GUILESS_MAIN(TestClipboardHistory)
#include "test_clipboard_history.moc"
