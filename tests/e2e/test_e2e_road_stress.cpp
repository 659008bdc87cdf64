// The main road as its users stress it, with the real mendo: the user moves
// on while the service answers, and selects text in a terminal whose program
// must never be interrupted.

#include "e2e/MendoSession.h"

#include <QFile>

using namespace mendo;
using namespace mendo::e2e;
using mendo::testing::OtherApp;
using mendo::testing::runTool;

namespace {

constexpr int kActionTimeoutMs = 20000;

// Brings the first visible window of the process to the front; false when
// it did not get there.
bool activate(const OtherApp& app)
{
    const QByteArray windows = runTool(QStringLiteral("xdotool"),
        { QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--pid"), QString::number(app.pid()) });
    const QString window = QString::fromLatin1(windows.split('\n').first().trimmed());
    if (window.isEmpty())
        return false;
    runTool(QStringLiteral("xdotool"), { QStringLiteral("windowactivate"), QStringLiteral("--sync"), window });
    return runTool(QStringLiteral("xdotool"), { QStringLiteral("getactivewindow") }).trimmed() == window.toLatin1();
}

QByteArray primarySelection()
{
    return runTool(
        QStringLiteral("xclip"), { QStringLiteral("-selection"), QStringLiteral("primary"), QStringLiteral("-o") });
}

QByteArray fileContents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class TestE2eRoadStress : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theResultGoesToTheWindowItCameFrom();
    void aTerminalIsNeverInterrupted();
};

void TestE2eRoadStress::theResultGoesToTheWindowItCameFrom()
{
    const QString selected = QStringLiteral("hey can u send teh report");
    const QString answer = QStringLiteral("Could you please send the report?");
    MendoSession session({ .answers = { resultAnswer(answer, 2000) }, .serviceDown = false, .defaults = {} });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    auto clipboard = session.userCopies(usersClipboard);
    QVERIFY(clipboard);
    auto zenity = session.startInFront(
        QStringLiteral("zenity"), { QStringLiteral("--entry"), QStringLiteral("--entry-text=zenity keeps this") });
    QVERIFY(zenity);
    auto field = session.startInFront(QStringLiteral(MENDO_TARGET_APP), { QStringLiteral("--text"), selected });
    QVERIFY(field);

    MendoSession::press(QStringLiteral("ctrl+a"));
    MendoSession::press(QStringLiteral("alt+4"));
    QTRY_COMPARE_WITH_TIMEOUT(session.requests().size(), 1, kActionTimeoutMs);
    // While the service thinks, the user turns to the dialog.
    QVERIFY(activate(*zenity));

    QTRY_COMPARE_WITH_TIMEOUT(field->reportedText(), answer, kActionTimeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(clipboardIsUsers(), kActionTimeoutMs);
    // zenity prints its field's text when the dialog is accepted.
    QVERIFY(activate(*zenity));
    MendoSession::press(QStringLiteral("Return"));
    QTRY_COMPARE_WITH_TIMEOUT(
        QString::fromUtf8(zenity->output()).trimmed(), QStringLiteral("zenity keeps this"), kActionTimeoutMs);
}

// A default xterm turns Control+C, and even Control+Shift+C, into an
// interrupt of the program it runs.
void TestE2eRoadStress::aTerminalIsNeverInterrupted()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString interrupts = dir.filePath(QStringLiteral("interrupts"));
    const QString typed = dir.filePath(QStringLiteral("typed"));
    MendoSession session(
        { .answers = { resultAnswer(QStringLiteral("the text")) }, .serviceDown = false, .defaults = {} });
    QVERIFY2(session.start(), qPrintable(session.failure()));
    auto clipboard = session.userCopies(usersClipboard);
    QVERIFY(clipboard);
    // A program that counts its interrupts and keeps what reaches its prompt.
    const QString program = QStringLiteral("trap 'echo INT >> \"%1\"' INT; printf 'teh text\\n'; stty -echo -icanon; "
                                           "while :; do cat >> \"%2\"; done")
                                .arg(interrupts, typed);
    auto xterm = session.startInFront(
        QStringLiteral("xterm"), { QStringLiteral("-e"), QStringLiteral("sh"), QStringLiteral("-c"), program });
    QVERIFY(xterm);
    QTRY_VERIFY(QFile::exists(typed));
    const QByteArray window = runTool(QStringLiteral("xdotool"), { QStringLiteral("getactivewindow") }).trimmed();
    runTool(QStringLiteral("xdotool"),
        { QStringLiteral("mousemove"), QStringLiteral("--window"), QString::fromLatin1(window), QStringLiteral("20"),
            QStringLiteral("8"), QStringLiteral("click"), QStringLiteral("--repeat"), QStringLiteral("3"),
            QStringLiteral("1") });
    QTRY_COMPARE(primarySelection().trimmed(), QByteArray("teh text"));
    const QByteArray selection = primarySelection();

    MendoSession::press(QStringLiteral("alt+4"));

    QTRY_COMPARE_WITH_TIMEOUT(fileContents(typed).trimmed(), QByteArray("the text"), kActionTimeoutMs);
    QCOMPARE(session.requests().size(), 1);
    QVERIFY2(!QFile::exists(interrupts), fileContents(interrupts).constData());
    QTRY_COMPARE_WITH_TIMEOUT(primarySelection(), selection, kActionTimeoutMs);
    QVERIFY(clipboardIsUsers());
}

// No windows of its own: the test process stays off the accessibility bus
// that it reads the other applications through.
QTEST_GUILESS_MAIN(TestE2eRoadStress)
#include "test_e2e_road_stress.moc"
