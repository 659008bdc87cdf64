// The real mendo and a real Chromium: the left-half hotkey turns the active
// tab into an app window in the left half and closes the tab; with the
// browser's accessibility off, the browser window itself is tiled and every
// tab stays.

#include "MendoSession.h"

#include "base/Clock.h"
#include "platform/atspi/AtspiAccessibility.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11WindowSystem.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

using namespace mendo;
using namespace mendo::e2e;
using namespace mendo::testing;

namespace {

const QString chromium = QStringLiteral("/usr/bin/chromium");
// Debian's binary behind that script; the script adds extensions.
const QString chromiumBinary = QStringLiteral("/usr/lib/chromium/chromium");

// What the browser shows through AT-SPI: shown parts only, pages not entered.
struct BrowserTree {
    RealClock clock;
    AtspiAccessibility ax { clock };

    // The shown tabs of all the browser's windows, and the address of the
    // page in its focused window.
    void read(qint32 pid, int* tabs, QString* address)
    {
        *tabs = 0;
        address->clear();
        walk(ax.applicationElement(pid), 0, tabs, nullptr);
        const AXElement window = ax.elementAttribute(ax.applicationElement(pid), ax::FocusedWindow);
        int ignored = 0;
        if (window)
            walk(window, 0, &ignored, address);
    }
    void walk(const AXElement& element, int depth, int* tabs, QString* address)
    {
        if (!element || depth > 30 || (depth > 0 && ax.boolAttribute(element, ax::Hidden).value_or(false)))
            return;
        const QString role = ax.stringAttribute(element, ax::Role).value_or(QString());
        if (role == QLatin1String("AXPageTab"))
            ++*tabs;
        if (role == ax::WebAreaRole) {
            if (address && address->isEmpty())
                *address = ax.stringAttribute(element, ax::URL).value_or(QString());
            return;
        }
        for (const AXElement& child : ax.children(element))
            walk(child, depth + 1, tabs, address);
    }
};

QString windowName(WindowId window)
{
    return QString::fromUtf8(
        runTool(QStringLiteral("xdotool"), { QStringLiteral("getwindowname"), QString::number(window) }))
        .trimmed();
}

// Polls until `condition` holds, by the wall clock.
bool waitFor(int timeoutMs, const std::function<bool()>& condition)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(200);
    }
    return true;
}

}  // namespace

class TestE2eBrowser : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_pageOne;
    QString m_pageTwo;
    QString m_launcher;

    QString writePage(const QString& name, const QString& title)
    {
        QFile file(m_dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(QStringLiteral("<!doctype html><title>%1</title><h1>%1</h1><p>A field of the page: <input value=x>")
                       .arg(title)
                       .toUtf8());
        return QUrl::fromLocalFile(file.fileName()).toString();
    }

    // The browser's desktop entry in mendo's data folder, so that mendo
    // starts app windows through it. Tests run as root here, where Chromium
    // refuses to start without --no-sandbox.
    bool installEntry(const MendoSession& session)
    {
        const QString apps = session.dataHome() + QStringLiteral("/applications");
        QDir().mkpath(apps);
        QFile entry(apps + QStringLiteral("/chromium.desktop"));
        if (!entry.open(QIODevice::WriteOnly))
            return false;
        entry.write("[Desktop Entry]\nType=Application\nName=Chromium\nExec=" + m_launcher.toUtf8()
            + " %U\nStartupWMClass=chromium\n");
        return true;
    }

    // Chromium with both pages in tabs, the first active, in front and
    // readable as far as its accessibility lets it be. Null when it never
    // came up.
    std::unique_ptr<OtherApp> startBrowser(bool accessibility, const QString& profile)
    {
        // Without a GPU process (software GL under Xvfb) and extensions a
        // new window shows in about a second on a busy machine, rather than
        // in four to six: well within the three seconds mendo waits for it.
        QStringList arguments { QStringLiteral("--no-first-run"), QStringLiteral("--password-store=basic"),
            QStringLiteral("--disable-gpu"), QStringLiteral("--disable-extensions"),
            QStringLiteral("--disable-background-networking"), QStringLiteral("--disable-sync"),
            QStringLiteral("--disable-component-update"),
            QStringLiteral("--user-data-dir=") + profile, QStringLiteral("--window-size=1000,700"),
            QStringLiteral("--window-position=400,200") };
        if (accessibility)
            arguments << QStringLiteral("--force-renderer-accessibility");
        arguments << m_pageOne << m_pageTwo;
        auto browser = std::make_unique<OtherApp>(m_launcher, arguments);
        QDeadlineTimer deadline(90000);
        BrowserTree tree;
        while (!deadline.hasExpired()) {
            QTest::qWait(250);
            if (activeWindowName() != QLatin1String("Mendo Page One - Chromium"))
                continue;
            if (!accessibility)
                return browser;
            int tabs = 0;
            QString address;
            tree.read(browser->pid(), &tabs, &address);
            if (tabs == 2 && address == m_pageOne)
                return browser;
        }
        return nullptr;
    }

    // mendo with tiling on, and Chromium in front with both pages.
    struct Scene {
        MendoSession session { { .answers = {},
            .serviceDown = false,
            .defaults = { { QStringLiteral("mendo.windowTiling.enabled"), true } } } };
        std::unique_ptr<OtherApp> browser;
        x11::X11Connection connection;
        X11WindowSystem windows { connection };
        WindowId source = 0;
        QRect leftHalf;
    };

    // Empty, or what went wrong.
    QString setUp(Scene& scene, bool accessibility)
    {
        if (!scene.session.start())
            return scene.session.failure();
        if (!installEntry(scene.session))
            return QStringLiteral("the desktop entry could not be written");
        scene.browser = startBrowser(
            accessibility, m_dir.filePath(accessibility ? QStringLiteral("profile-on") : QStringLiteral("profile-off")));
        if (!scene.browser)
            return QStringLiteral("Chromium did not come up (with its accessibility tree when on)");
        scene.source = scene.windows.focusedWindow().value_or(0);
        if (!scene.source)
            return QStringLiteral("no active window");
        const QRect visible = scene.windows.screens().first().visibleFrame;
        scene.leftHalf = QRect(visible.x(), visible.y(), visible.width() / 2, visible.height());
        return {};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QFileInfo(chromium).isExecutable(), "chromium is not installed (scripts/install-deps.sh installs it)");
        QVERIFY(m_dir.isValid());
        m_pageOne = writePage(QStringLiteral("one.html"), QStringLiteral("Mendo Page One"));
        m_pageTwo = writePage(QStringLiteral("two.html"), QStringLiteral("Mendo Page Two"));
        m_launcher = m_dir.filePath(QStringLiteral("chromium-no-sandbox"));
        QFile launcher(m_launcher);
        QVERIFY(launcher.open(QIODevice::WriteOnly));
        const QString program = QFileInfo(chromiumBinary).isExecutable() ? chromiumBinary : chromium;
        // CHROME_DESKTOP as Debian's script sets it: it names the window
        // class ("Chromium", else "Chromium-browser").
        launcher.write("#!/bin/sh\nexport CHROME_DESKTOP=chromium.desktop\nexec " + program.toUtf8()
            + " --no-sandbox \"$@\"\n");
        launcher.close();
        launcher.setPermissions(launcher.permissions() | QFileDevice::ExeOwner);
    }

    void leftHalfPopsOutTheActiveTab()
    {
        Scene scene;
        const QString failure = setUp(scene, true);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        MendoSession::press(QStringLiteral("ctrl+alt+shift+Left"));
        // Cheap reads while waiting (the X window names), the tree once at
        // the end: a walk of the browser's tree takes seconds on a busy
        // machine.
        QString seen;
        const bool done = waitFor(60000, [&] {
            const auto front = scene.windows.focusedWindow();
            const QRect frame = front ? scene.windows.frame(*front).value_or(QRect()) : QRect();
            seen = QStringLiteral("front \"%1\" at %2,%3 %4x%5, source \"%6\"")
                       .arg(front ? windowName(*front) : QString())
                       .arg(frame.x())
                       .arg(frame.y())
                       .arg(frame.width())
                       .arg(frame.height())
                       .arg(windowName(scene.source));
            return front && *front != scene.source && frame == scene.leftHalf
                && windowName(*front) == QLatin1String("Mendo Page One")
                && windowName(scene.source) == QLatin1String("Mendo Page Two - Chromium");
        });
        QVERIFY2(done, qPrintable(seen));
        BrowserTree tree;
        int tabs = 0;
        QString address;
        tree.read(scene.browser->pid(), &tabs, &address);
        QCOMPARE(tabs, 1);
        QCOMPARE(address, m_pageOne);
        // The source window stays where it was, now showing the other page.
        QVERIFY(scene.windows.frame(scene.source) != scene.leftHalf);

        // Time for the source window to paint its other page.
        QTest::qWait(1000);
        QDir().mkpath(QStringLiteral(MENDO_ARTIFACT_DIR));
        const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        QVERIFY(shot.save(QStringLiteral(MENDO_ARTIFACT_DIR "/browser-app-window.png")));
    }

    void accessibilityOffTilesTheBrowserWindow()
    {
        Scene scene;
        const QString failure = setUp(scene, false);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        MendoSession::press(QStringLiteral("ctrl+alt+shift+Left"));
        QVERIFY(waitFor(20000, [&] { return scene.windows.frame(scene.source) == scene.leftHalf; }));
        // Longer than a pop-out would wait for its window.
        QTest::qWait(4000);
        QCOMPARE(scene.windows.focusedWindow(), std::optional<WindowId>(scene.source));
        QCOMPARE(activeWindowName(), QStringLiteral("Mendo Page One - Chromium"));
    }
};

QTEST_MAIN(TestE2eBrowser)
#include "test_e2e_browser.moc"
