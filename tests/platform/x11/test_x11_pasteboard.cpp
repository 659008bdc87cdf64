// The CLIPBOARD through X11Pasteboard, against other X clients that own it
// or read it.

#include "support/X11TestApps.h"
#include "platform/x11/X11Pasteboard.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

using namespace mendo;
using namespace mendo::testing;

class TestX11Pasteboard : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void readsEveryFormatOfAnotherOwnerAndGivesItBackByteForByte();
    void countsChangesMadeByOtherClients();
    void plainTextRoundTrip();
    void ourChangesWinOverAnOwnerQtHasNotSeenYet_data();
    void ourChangesWinOverAnOwnerQtHasNotSeenYet();
    void countsTheFetchesOfItsContentsByClient();
    void primarySelectionIsItsOwn();

private:
    // Starts a clipboard owner offering these formats; waits until it owns.
    std::unique_ptr<OtherApp> offer(const QList<QPair<QString, QByteArray>>& formats);
    QTemporaryDir m_dir;
    x11::X11Connection m_connection;
};

void TestX11Pasteboard::init()
{
    QVERIFY(m_dir.isValid());
}

std::unique_ptr<OtherApp> TestX11Pasteboard::offer(const QList<QPair<QString, QByteArray>>& formats)
{
    return offerClipboard(m_dir.path(), formats);
}

void TestX11Pasteboard::readsEveryFormatOfAnotherOwnerAndGivesItBackByteForByte()
{
    X11Pasteboard pasteboard(m_connection);
    // Bytes that a text conversion would mangle: NUL, a lone 0xff, CR LF.
    QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18);
    const QList<QPair<QString, QByteArray>> formats{
        {QStringLiteral("text/plain"), QByteArray("Пароль: hunter2 \xf0\x9f\x94\x91\n")},
        {QStringLiteral("image/png"), png},
        {QStringLiteral("x-kde-passwordManagerHint"), QByteArray("secret")},
    };
    auto owner = offer(formats);
    QVERIFY(owner);

    const QList<QStringList> types = pasteboard.itemTypes();
    QCOMPARE(types.size(), 1);
    for (const auto& [type, bytes] : formats) {
        QVERIFY2(types[0].contains(type), qPrintable(types[0].join(QLatin1Char(' '))));
        QCOMPARE(pasteboard.data(0, type), std::optional<QByteArray>(bytes));
    }
    for (const QString& meta : {QStringLiteral("TARGETS"), QStringLiteral("MULTIPLE"), QStringLiteral("TIMESTAMP"),
                                QStringLiteral("SAVE_TARGETS")}) {
        QVERIFY(!types[0].contains(meta));
        QCOMPARE(pasteboard.data(0, meta), std::nullopt);
    }
    QCOMPARE(pasteboard.data(1, QStringLiteral("text/plain")), std::nullopt);
    QCOMPARE(pasteboard.string(), QString::fromUtf8(formats[0].second));

    // Take a copy of every format; the owner then exits, and its clipboard
    // with it. The copy written back gives other clients the old bytes under
    // the old types.
    QList<PasteboardItem> saved{{}};
    for (const QString& type : types[0])
        saved[0].values.append({type, pasteboard.data(0, type).value_or(QByteArray())});
    owner.reset();
    QTRY_COMPARE(pasteboard.itemTypes(), QList<QStringList>());
    QCOMPARE(pasteboard.string(), std::nullopt);

    pasteboard.writeItems(saved);
    const QByteArray targets = runTool(QStringLiteral("xclip"), {"-selection", "clipboard", "-o", "-t", "TARGETS"});
    for (const auto& [type, bytes] : formats) {
        QVERIFY2(targets.contains(type.toUtf8()), targets.constData());
        QCOMPARE(runTool(QStringLiteral("xclip"), {"-selection", "clipboard", "-o", "-t", type}), bytes);
    }
    QCOMPARE(runTool(QStringLiteral("xclip"), {"-selection", "clipboard", "-o", "-t", "UTF8_STRING"}),
             formats[0].second);
}

void TestX11Pasteboard::countsChangesMadeByOtherClients()
{
    X11Pasteboard pasteboard(m_connection);
    const qint64 start = pasteboard.changeCount();
    QSignalSpy changed(&pasteboard, &Pasteboard::changed);

    auto owner = offer({{QStringLiteral("text/plain"), QByteArray("first")}});
    QVERIFY(owner);
    QTRY_VERIFY(pasteboard.changeCount() > start);
    QVERIFY(!changed.isEmpty());
    QCOMPARE(pasteboard.string(), QStringLiteral("first"));

    // Another owner with equal contents is still a change.
    const qint64 afterFirst = pasteboard.changeCount();
    auto second = offer({{QStringLiteral("text/plain"), QByteArray("first")}});
    QVERIFY(second);
    QTRY_VERIFY(pasteboard.changeCount() > afterFirst);

    // Our own writes count at once, before any event of the server.
    for (const auto& write : std::initializer_list<std::function<void()>>{
             [&] { pasteboard.setString(QStringLiteral("mine")); }, [&] { pasteboard.clearContents(); },
             [&] { pasteboard.writeItems({PasteboardItem{{{QStringLiteral("text/html"), "<b>x</b>"}}}}); }}) {
        const qint64 before = pasteboard.changeCount();
        write();
        QVERIFY(pasteboard.changeCount() > before);
    }
}

void TestX11Pasteboard::plainTextRoundTrip()
{
    X11Pasteboard pasteboard(m_connection);
    const QString text = QStringLiteral("  line one\nline two 👋  ");
    pasteboard.setString(text);
    QCOMPARE(pasteboard.string(), text);
    QCOMPARE(runTool(QStringLiteral("xclip"), {"-selection", "clipboard", "-o"}), text.toUtf8());
    QCOMPARE(pasteboard.itemTypes().value(0).contains(Pasteboard::plainTextType()), true);

    // Two items become one; the first wins on a shared type.
    pasteboard.writeItems({PasteboardItem{{{QStringLiteral("text/plain"), "one"}}},
                           PasteboardItem{{{QStringLiteral("text/plain"), "two"}, {QStringLiteral("text/html"), "<i>two</i>"}}}});
    QCOMPARE(pasteboard.string(), QStringLiteral("one"));
    QCOMPARE(pasteboard.data(0, QStringLiteral("text/html")), std::optional<QByteArray>("<i>two</i>"));

    pasteboard.writeItems({});
    QCOMPARE(pasteboard.itemTypes(), QList<QStringList>());
}

// Right after another client took the clipboard, before any event of that
// reached this process, our clearing and writing still take effect: else a
// copy that yields nothing would find the user's old clipboard, and a paste
// would insert it instead of the result.
void TestX11Pasteboard::ourChangesWinOverAnOwnerQtHasNotSeenYet_data()
{
    QTest::addColumn<bool>("write");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("clear") << false << QByteArray();
    QTest::newRow("write") << true << QByteArray("the result");
}

void TestX11Pasteboard::ourChangesWinOverAnOwnerQtHasNotSeenYet()
{
    QFETCH(bool, write);
    QFETCH(QByteArray, expected);
    X11Pasteboard pasteboard(m_connection);
    QTest::qWait(50);
    QFile file(m_dir.filePath(QStringLiteral("text")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("the user's clipboard") > 0);
    file.close();
    OtherApp owner(QStringLiteral(MENDO_CLIPBOARD_OWNER), {QStringLiteral("text/plain=") + file.fileName()});
    // A blocking wait, so that no event reaches this process in between.
    while (!owner.output().contains("owning"))
        QVERIFY(owner.process().waitForReadyRead(10000));

    // What a network reply or a timer of ours would be: nothing of it may
    // run inside the write.
    bool othersRan = false;
    QObject context;
    QMetaObject::invokeMethod(
        &context, [&othersRan] { othersRan = true; }, Qt::QueuedConnection);
    QTimer::singleShot(0, &context, [&othersRan] { othersRan = true; });
    bool taken = true;
    if (write)
        taken = pasteboard.setString(QString::fromUtf8(expected));
    else
        pasteboard.clearContents();
    QVERIFY(!othersRan);
    // A write the server ignored says so; once the event loop has read the
    // newer owner's event, it takes effect.
    const QByteArray now = runTool(QStringLiteral("xclip"), {"-selection", "clipboard", "-o"});
    QCOMPARE(now == expected, taken);
    QVERIFY(othersRan);
    if (!taken)
        QVERIFY(pasteboard.setString(QString::fromUtf8(expected)));
    QCOMPARE(runTool(QStringLiteral("xclip"), {"-selection", "clipboard", "-o"}), expected);
}

// A paste is complete once the target fetched the text: the type list and
// other protocol requests do not count, and each client counts apart.
void TestX11Pasteboard::countsTheFetchesOfItsContentsByClient()
{
    X11Pasteboard pasteboard(m_connection);
    // A client that fetches nothing, alive throughout (X reuses the ids of
    // clients that have gone).
    auto other = startTargetApp(QStringLiteral("other client"));
    QDeadlineTimer deadline(10000);
    while (!other->output().contains("ready") && !deadline.hasExpired())
        QTest::qWait(10);
    const QByteArray found = runTool(QStringLiteral("xdotool"),
                                     {"search", "--pid", QString::number(other->pid()), "--name", "Mendo target"});
    const quint64 window = found.split('\n').first().trimmed().toULongLong();
    QVERIFY(window != 0);

    QVERIFY(pasteboard.setString(QStringLiteral("pasted")));
    QCOMPARE(pasteboard.servedRequestCount(0), 0);
    runTool(QStringLiteral("xclip"), {"-selection", "clipboard", "-o", "-t", "TARGETS"});
    QCOMPARE(pasteboard.servedRequestCount(0), 0);
    QCOMPARE(runTool(QStringLiteral("xclip"), {"-selection", "clipboard", "-o"}), QByteArray("pasted"));
    QCOMPARE(pasteboard.servedRequestCount(0), 1);
    QCOMPARE(pasteboard.servedRequestCount(window), 0);
}

void TestX11Pasteboard::primarySelectionIsItsOwn()
{
    X11Pasteboard clipboard(m_connection);
    X11Pasteboard primary(m_connection, X11Pasteboard::Selection::Primary);
    QVERIFY(clipboard.setString(QStringLiteral("on the clipboard")));
    QVERIFY(primary.setString(QStringLiteral("selected")));
    QCOMPARE(runTool(QStringLiteral("xclip"), { "-selection", "primary", "-o" }), QByteArray("selected"));
    QCOMPARE(runTool(QStringLiteral("xclip"), { "-selection", "clipboard", "-o" }), QByteArray("on the clipboard"));
    QCOMPARE(primary.servedRequestCount(0), 1);
    QCOMPARE(clipboard.servedRequestCount(0), 1);
    QCOMPARE(primary.string(), std::optional<QString>(QStringLiteral("selected")));
    primary.clearContents();
    QCOMPARE(runTool(QStringLiteral("xclip"), { "-selection", "primary", "-o" }), QByteArray());
    QCOMPARE(clipboard.string(), std::optional<QString>(QStringLiteral("on the clipboard")));
}

QTEST_MAIN(TestX11Pasteboard)
#include "test_x11_pasteboard.moc"
