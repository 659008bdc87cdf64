#include "clipboard/ClipboardHistoryService.h"
#include "fakes/FakeClock.h"
#include "fakes/FakePasteboard.h"
#include "fakes/MemoryUserDefaults.h"

#include <QTest>

using namespace mendo;
using namespace std::chrono_literals;

class TestClipboardSuppression : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void suppressionKeepsTheLaterDeadline();
    void finishTakesPresentContentsAsSeen();
};

void TestClipboardSuppression::suppressionKeepsTheLaterDeadline()
{
    FakeClock clock;
    FakePasteboard pasteboard;
    MemoryUserDefaults defaults;
    ClipboardHistoryService history(clock, pasteboard, defaults);
    QVERIFY(!history.isCaptureSuppressed());

    history.suppressCapture(3.5);
    clock.advance(1000ms);
    history.suppressCapture(1.0);  // shorter than what is left: kept
    QCOMPARE(history.suppressUntil(), std::optional<Millis>(3500ms));
    clock.advance(2499ms);
    QVERIFY(history.isCaptureSuppressed());
    clock.advance(1ms);
    QVERIFY(!history.isCaptureSuppressed());

    history.suppressCapture(std::numeric_limits<double>::quiet_NaN());
    QVERIFY(!history.isCaptureSuppressed());
}

void TestClipboardSuppression::finishTakesPresentContentsAsSeen()
{
    FakeClock clock;
    FakePasteboard pasteboard;
    MemoryUserDefaults defaults;
    ClipboardHistoryService history(clock, pasteboard, defaults);
    history.suppressCapture(3.5);
    pasteboard.copyFromOutside(QStringLiteral("  restored text\n"));
    history.finishTransientPasteboardUse();

    QVERIFY(!history.isCaptureSuppressed());
    QCOMPARE(history.lastChangeCount(), pasteboard.changeCount());
    QCOMPARE(history.lastText(), QStringLiteral("restored text"));

    // Contents without text leave the last text as it was.
    pasteboard.copyFromOutside(QList<PasteboardItem> { { { { QStringLiteral("image/png"), "PNG" } } } });
    history.finishTransientPasteboardUse();
    QCOMPARE(history.lastChangeCount(), pasteboard.changeCount());
    QCOMPARE(history.lastText(), QStringLiteral("restored text"));
}

QTEST_GUILESS_MAIN(TestClipboardSuppression)
#include "test_clipboard_suppression.moc"
