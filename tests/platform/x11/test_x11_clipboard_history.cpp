// The clipboard history over the real X11 CLIPBOARD, copies made by other X
// clients, the poll driven by virtual time.

#include "clipboard/ClipboardHistoryService.h"
#include "fakes/FakeClock.h"
#include "fakes/MemoryUserDefaults.h"
#include "platform/x11/X11Pasteboard.h"
#include "support/X11TestApps.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <poll.h>
#include <thread>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

// Another X client that owns CLIPBOARD on a connection of its own and
// answers requests by a script, on a thread of its own (the test's main
// thread is the one that waits for the answers).
class ScriptedOwner {
public:
    // Called for each request of `target` to `window`: the bytes to give
    // (nothing: refused); it may act on the display first.
    using Script = std::function<std::optional<QByteArray>(Display*, Window window, const QByteArray& target)>;

    explicit ScriptedOwner(Script script, bool answers = true)
        : m_script(std::move(script))
        , m_answers(answers)
    {
        m_display = XOpenDisplay(nullptr);
        if (!m_display)
            return;
        first = makeWindow();
        second = makeWindow();
        XSetSelectionOwner(m_display, XInternAtom(m_display, "CLIPBOARD", False), first, CurrentTime);
        XSync(m_display, False);
        m_thread = std::thread([this] { serve(); });
    }
    ~ScriptedOwner()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_display)
            XCloseDisplay(m_display);
    }
    bool owns() const
    {
        return m_display && XGetSelectionOwner(m_display, XInternAtom(m_display, "CLIPBOARD", False)) == first;
    }

    Window first = 0;
    Window second = 0;

private:
    Window makeWindow()
    {
        return XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), 0, 0, 1, 1, 0, 0, 0);
    }
    void serve()
    {
        while (!m_stop) {
            pollfd descriptor { ConnectionNumber(m_display), POLLIN, 0 };
            ::poll(&descriptor, 1, 20);
            while (!m_stop && XPending(m_display) > 0) {
                XEvent event;
                XNextEvent(m_display, &event);
                // A client that took the clipboard and never answers.
                if (event.type != SelectionRequest || !m_answers)
                    continue;
                answer(event.xselectionrequest);
            }
        }
    }
    void answer(const XSelectionRequestEvent& request)
    {
        char* name = XGetAtomName(m_display, request.target);
        const QByteArray target(name ? name : "");
        if (name)
            XFree(name);
        XSelectionEvent notify {};
        notify.type = SelectionNotify;
        notify.requestor = request.requestor;
        notify.selection = request.selection;
        notify.target = request.target;
        notify.time = request.time;
        notify.property = None;
        if (const std::optional<QByteArray> bytes = m_script(m_display, request.owner, target)) {
            if (target == "TARGETS") {
                QList<Atom> atoms;
                for (const QByteArray& each : bytes->split(' '))
                    atoms << XInternAtom(m_display, each.constData(), False);
                XChangeProperty(m_display, request.requestor, request.property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(atoms.constData()), int(atoms.size()));
            } else {
                XChangeProperty(m_display, request.requestor, request.property, request.target, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(bytes->constData()), int(bytes->size()));
            }
            notify.property = request.property;
        }
        XSendEvent(m_display, request.requestor, False, NoEventMask, reinterpret_cast<XEvent*>(&notify));
        XFlush(m_display);
    }

    Script m_script;
    bool m_answers;
    Display* m_display = nullptr;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};

}  // namespace

using namespace mendo;
using namespace mendo::testing;

class TestX11ClipboardHistory : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void recordsOrdinaryCopiesButNoSecrets();
    void anOwnerThatNeverAnswersCostsOneShortWait();
    void anOwnerChangeDuringTheReadRecordsNothing();
    void fastCopiesAreAllRecordedInOrder();

private:
    // xclip owning the clipboard with this text until it is ended.
    std::unique_ptr<OtherApp> xclipCopies(const QByteArray& text);
    QTemporaryDir m_dir;
    x11::X11Connection m_connection;
};

void TestX11ClipboardHistory::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY(!QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty());
}

std::unique_ptr<OtherApp> TestX11ClipboardHistory::xclipCopies(const QByteArray& text)
{
    static int n = 0;
    QFile file(m_dir.filePath(QStringLiteral("copy%1").arg(++n)));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        return nullptr;
    file.close();
    // -quiet keeps it in the foreground, where the test can end it.
    return std::make_unique<OtherApp>(QStringLiteral("xclip"),
        QStringList {
            QStringLiteral("-quiet"), QStringLiteral("-selection"), QStringLiteral("clipboard"), file.fileName() });
}

void TestX11ClipboardHistory::recordsOrdinaryCopiesButNoSecrets()
{
    FakeClock clock;
    X11Pasteboard pasteboard(m_connection);
    MemoryUserDefaults defaults;
    ClipboardHistoryService history(clock, pasteboard, defaults);
    history.start();
    auto texts = [&history] {
        QStringList texts;
        for (const ClipboardHistoryItem& item : history.items())
            texts << item.text;
        return texts;
    };
    // Each owner change reaches the counter through an event of the server.
    auto tickAfterChange = [&](qint64 before) {
        QTRY_VERIFY(pasteboard.changeCount() > before);
        clock.advance(ClipboardHistoryService::pollInterval);
    };

    qint64 before = pasteboard.changeCount();
    auto xclip = xclipCopies("copied with xclip\n");
    tickAfterChange(before);
    QCOMPARE(texts(), QStringList { QStringLiteral("copied with xclip") });

    before = pasteboard.changeCount();
    auto secret = offerClipboard(m_dir.path(),
        { { QStringLiteral("text/plain"), QByteArray("correct horse") },
            { QStringLiteral("x-kde-passwordManagerHint"), QByteArray("secret") } });
    QVERIFY(secret);
    tickAfterChange(before);
    QCOMPARE(history.lastChangeCount(), pasteboard.changeCount());
    QCOMPARE(texts(), QStringList { QStringLiteral("copied with xclip") });

    // The password manager gives the clipboard up: nothing is left to record.
    before = pasteboard.changeCount();
    secret.reset();
    tickAfterChange(before);
    QCOMPARE(texts(), QStringList { QStringLiteral("copied with xclip") });

    before = pasteboard.changeCount();
    auto next = xclipCopies("the next copy");
    tickAfterChange(before);
    QCOMPARE(texts(), (QStringList { QStringLiteral("the next copy"), QStringLiteral("copied with xclip") }));
}

void TestX11ClipboardHistory::anOwnerThatNeverAnswersCostsOneShortWait()
{
    FakeClock clock;
    X11Pasteboard pasteboard(m_connection);
    MemoryUserDefaults defaults;
    ClipboardHistoryService history(clock, pasteboard, defaults);
    history.start();
    const qint64 before = pasteboard.changeCount();
    ScriptedOwner silent([](Display*, Window, const QByteArray&) { return QByteArray("never sent"); }, false);
    QVERIFY(silent.owns());
    QTRY_VERIFY(pasteboard.changeCount() > before);

    QElapsedTimer held;
    held.start();
    clock.advance(ClipboardHistoryService::changeSettleDelay);
    QVERIFY2(held.elapsed() < 600, qPrintable(QStringLiteral("%1 ms").arg(held.elapsed())));
    QVERIFY(history.items().isEmpty());
    // The same change is not asked for again.
    held.restart();
    clock.advance(std::chrono::seconds(5));
    QVERIFY2(held.elapsed() < 100, qPrintable(QStringLiteral("%1 ms").arg(held.elapsed())));
    QVERIFY(history.items().isEmpty());
}

void TestX11ClipboardHistory::anOwnerChangeDuringTheReadRecordsNothing()
{
    FakeClock clock;
    X11Pasteboard pasteboard(m_connection);
    MemoryUserDefaults defaults;
    ClipboardHistoryService history(clock, pasteboard, defaults);
    history.start();
    const qint64 before = pasteboard.changeCount();
    // A plain copy whose owner hands the clipboard to a password manager's
    // window while its text is asked for: the text belongs to the first,
    // the "secret" mark the reader saw (none) to the first as well.
    std::atomic<int> served = 0;
    ScriptedOwner owner([&served](Display* display, Window window, const QByteArray& target) -> std::optional<QByteArray> {
        ++served;
        if (target == "TARGETS")
            return QByteArray("TARGETS UTF8_STRING");
        if (target == "UTF8_STRING") {
            XSetSelectionOwner(display, XInternAtom(display, "CLIPBOARD", False),
                window + 1 /* the second window, made right after the first */, CurrentTime);
            XSync(display, False);
            return QByteArray("plain copy");
        }
        return std::nullopt;
    });
    QVERIFY(owner.owns());
    QCOMPARE(owner.second, owner.first + 1);
    QTRY_VERIFY(pasteboard.changeCount() > before);
    clock.advance(ClipboardHistoryService::changeSettleDelay);
    QVERIFY(served.load() >= 2);
    QVERIFY(history.items().isEmpty());
}

void TestX11ClipboardHistory::fastCopiesAreAllRecordedInOrder()
{
    RealClock clock;
    X11Pasteboard pasteboard(m_connection);
    QVERIFY(pasteboard.announcesChanges());
    MemoryUserDefaults defaults;
    ClipboardHistoryService history(clock, pasteboard, defaults);
    history.start();
    // Every new entry, in the order they came (the list itself keeps 100).
    QStringList recorded;
    connect(&history, &ClipboardHistoryService::itemsChanged, this, [&] {
        if (!history.items().isEmpty() && (recorded.isEmpty() || recorded.last() != history.items().first().text))
            recorded << history.items().first().text;
    });
    constexpr int kCopies = 300;
    QStringList copied;
    for (int i = 0; i < kCopies; ++i)
        copied << QStringLiteral("copy number %1").arg(i);
    // As a user's script would copy: one xclip after the other, each taking
    // the clipboard and leaving a child behind to serve it until the next
    // copy takes it over.
    QProcess script;
    script.start(QStringLiteral("sh"),
        { QStringLiteral("-c"),
            QStringLiteral("i=0; while [ $i -lt %1 ]; do printf 'copy number %s' $i | xclip -selection clipboard; "
                           "sleep 0.15; i=$((i+1)); done")
                .arg(kCopies) });
    QTRY_VERIFY_WITH_TIMEOUT(script.state() == QProcess::NotRunning, 150000);
    QCOMPARE(script.exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(recorded.size(), kCopies, 5000);
    for (const QString& text : copied)
        QVERIFY2(recorded.contains(text), qPrintable(text + QStringLiteral(" was lost")));
    QCOMPARE(recorded, copied);
}

QTEST_MAIN(TestX11ClipboardHistory)
#include "test_x11_clipboard_history.moc"
