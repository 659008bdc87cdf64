// The address-field scan that runs on the left- and right-half hotkeys while
// a browser is in front, over AT-SPI, until the pop-out would start the app
// window:
//  - BM_AddressFieldScan/400: a Qt window with 400 labels laid out before its
//    text field. Qt offers no element search, so the bounded walk runs and
//    spends its whole budget of 400 elements.
//  - BM_AddressFieldScanChromium: a real Chromium window (accessibility on)
//    showing a local page of 400 elements. Chromium answers the element
//    search: one request finds the candidate fields, and the address field is
//    checked against the walk's rules; the page's address is read after.
//    Skips with its reason when Chromium is not installed.
// Needs a display: scripts/with-session.sh build/bench/bench_browser_scan
#include "base/Clock.h"
#include "desktop/ChromeAppWindowService.h"
#include "desktop/WindowTilingService.h"
#include "fakes/FakeKeyboardEvents.h"
#include "fakes/FakeWindowSystem.h"
#include "fakes/FakeWorkspace.h"
#include "platform/BrowserControl.h"
#include "platform/atspi/AtspiAccessibility.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <benchmark/benchmark.h>
#include "QtBenchmarkMain.h"

using namespace mendo;

namespace {

// Declines every start, so that each run ends after the scan and the page's
// address; remembers what it was asked to open.
class NoBrowser final : public BrowserControl {
public:
    bool openAppWindow(const RunningApplication&, const QString& address) override
    {
        asked = address;
        return false;
    }
    QString asked;
};

struct Scan {
    Scan(qint32 pid)
    {
        // The target, seen as a browser in front.
        workspace.front = RunningApplication { pid, QStringLiteral("chromium"), 1 };
    }
    RealClock clock;
    AtspiAccessibility ax { clock };
    FakeWorkspace workspace;
    FakeWindowSystem windows;
    FakeKeyboardEvents keyboard;
    NoBrowser browser;
    WindowTilingService tiling { windows, clock };
    ChromeAppWindowService service { workspace, ax, browser, keyboard, tiling, clock };
};

void BM_AddressFieldScan(benchmark::State& state)
{
    QProcess target;
    target.start(QStringLiteral(MENDO_TARGET_APP),
        { QStringLiteral("--labels"), QString::number(state.range(0)) });
    if (!target.waitForReadyRead(15000)) {
        state.SkipWithError("the target did not start");
        return;
    }
    Scan scan(qint32(target.processId()));
    QDeadlineTimer deadline(15000);
    while (!scan.ax.elementAttribute(scan.ax.applicationElement(qint32(target.processId())), ax::FocusedWindow)
        && !deadline.hasExpired())
        QTest::qWait(50);
    if (deadline.hasExpired()) {
        state.SkipWithError("the target's window is not in the accessibility tree");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(scan.service.popOutActiveTabIfNeeded(WindowTileSlot::leftHalf));
    target.kill();
    target.waitForFinished(3000);
}
BENCHMARK(BM_AddressFieldScan)->Arg(400)->Unit(benchmark::kMillisecond);

// Chromium refuses to run as root without --no-sandbox; the binary proper
// rather than Debian's wrapper script, so that the process is the browser.
QString chromiumProgram()
{
    for (const char* path : { "/usr/lib/chromium/chromium", "/usr/bin/chromium" }) {
        if (QFileInfo(QString::fromLatin1(path)).isExecutable())
            return QString::fromLatin1(path);
    }
    return {};
}

void BM_AddressFieldScanChromium(benchmark::State& state)
{
    const QString program = chromiumProgram();
    if (program.isEmpty()) {
        state.SkipWithError("Chromium is not installed (scripts/install-deps.sh installs it)");
        return;
    }
    QTemporaryDir dir;
    QFile page(dir.filePath(QStringLiteral("page.html")));
    if (!page.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write the page");
        return;
    }
    // 400 elements: 40 rows of a label, a paragraph, a link, a button and
    // a text field, two lists between them.
    QByteArray html = "<!doctype html><title>Mendo Scan</title><body>";
    for (int i = 0; i < 40; ++i)
        html += QByteArray("<div><label>Label ") + QByteArray::number(i) + "</label><p>Text " + QByteArray::number(i)
            + "</p><a href='#'>Link</a><button>Press</button><input value='x'><ul><li>a</li><li>b</li></ul></div>";
    html += "</body>";
    page.write(html);
    page.close();
    const QString address = QUrl::fromLocalFile(page.fileName()).toString();
    QProcess browser;
    browser.start(program,
        { QStringLiteral("--no-sandbox"), QStringLiteral("--no-first-run"), QStringLiteral("--password-store=basic"),
            QStringLiteral("--disable-gpu"), QStringLiteral("--disable-extensions"),
            QStringLiteral("--disable-background-networking"), QStringLiteral("--disable-sync"),
            QStringLiteral("--disable-component-update"), QStringLiteral("--force-renderer-accessibility"),
            QStringLiteral("--user-data-dir=") + dir.filePath(QStringLiteral("profile")),
            QStringLiteral("--window-size=1000,700"), address });
    if (!browser.waitForStarted(15000)) {
        state.SkipWithError("Chromium did not start");
        return;
    }
    Scan scan(qint32(browser.processId()));
    // Up once the scan finds the address field and reads the page's address.
    QDeadlineTimer deadline(90000);
    while (scan.browser.asked != address && !deadline.hasExpired()) {
        scan.service.popOutActiveTabIfNeeded(WindowTileSlot::leftHalf);
        QTest::qWait(250);
    }
    if (scan.browser.asked != address) {
        state.SkipWithError("Chromium's window never showed its address field and page in the accessibility tree");
    } else {
        for (auto _ : state)
            benchmark::DoNotOptimize(scan.service.popOutActiveTabIfNeeded(WindowTileSlot::leftHalf));
    }
    // Ended as a user ends it, so that its helper processes go too and the
    // profile can be removed.
    browser.terminate();
    if (!browser.waitForFinished(10000)) {
        browser.kill();
        browser.waitForFinished(5000);
    }
    // Its helpers may still be writing into the profile for a moment.
    for (int attempt = 0; attempt < 20 && !QDir(dir.path()).removeRecursively(); ++attempt)
        QTest::qWait(250);
}
BENCHMARK(BM_AddressFieldScanChromium)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    return runBenchmarksInQt<QCoreApplication>(argc, argv, "bench_browser_scan");
}
