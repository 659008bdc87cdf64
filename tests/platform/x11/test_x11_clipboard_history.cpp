// The clipboard history over the real X11 CLIPBOARD, copies made by other X
// clients, the poll driven by virtual time.

#include "clipboard/ClipboardHistoryService.h"
#include "fakes/FakeClock.h"
#include "fakes/MemoryUserDefaults.h"
#include "platform/x11/X11Pasteboard.h"
#include "support/X11TestApps.h"

#include <QStandardPaths>
#include <QTemporaryDir>

using namespace mendo;
using namespace mendo::testing;

class TestX11ClipboardHistory : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void recordsOrdinaryCopiesButNoSecrets();

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

QTEST_MAIN(TestX11ClipboardHistory)
#include "test_x11_clipboard_history.moc"
