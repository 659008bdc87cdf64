// One working day with the real mendo, in one session, as a user lives it:
// MendoAI starts into the tray; the assistant (Alt+I) answers a question and
// its answer is pasted into a GTK dialog; the translation preview (Alt+R)
// translates a selection and "Insert" puts the translation in its place; a
// note written in the clipboard window is still there after mendo started
// again, and pastes; "Quit MendoAI" in the tray menu ends it. Afterwards no
// MendoAI process is left and its files read whole. Keys are held as fingers
// hold them, buttons are found through the accessibility bus and clicked.

#include "clipboard/ClipboardNotesService.h"
#include "e2e/MendoSession.h"
#include "platform/DefaultsFileFormat.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

using namespace mendo;
using namespace mendo::e2e;
using mendo::testing::activeWindowName;
using mendo::testing::activeWindowPid;
using mendo::testing::OtherApp;

namespace {

constexpr int kTimeoutMs = 20000;

const QString question = QStringLiteral("Can we move the call to Friday?");
const QString request = QStringLiteral("say yes, politely");
const QString reply = QStringLiteral("Yes, Friday works for me. Thank you!");
const QString german = QStringLiteral("Guten Morgen, bis bald");
const QString english = QStringLiteral("Good morning, see you soon");
const QString noteText = QStringLiteral("Call Anna at 5 pm");

// The processes running one of these programs (by their executable).
QList<qint64> processesRunning(const QStringList& programs)
{
    QStringList wanted;
    for (const QString& program : programs)
        wanted << QFileInfo(program).canonicalFilePath();
    QList<qint64> found;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isPid = false;
        const qint64 pid = entry.toLongLong(&isPid);
        if (!isPid)
            continue;
        // A program rebuilt while it runs is named "<path> (deleted)"; one
        // that ended and was not yet waited for is named by nothing.
        QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(entry)).symLinkTarget();
        if (exe.endsWith(QLatin1String(" (deleted)")))
            exe.chop(10);
        if (!exe.isEmpty() && wanted.contains(exe))
            found << pid;
    }
    return found;
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The files set aside as unreadable ("<name>.corrupt-<time>") under `dir`.
QStringList setAside(const QString& dir)
{
    QStringList found;
    for (const QFileInfo& info : QDir(dir).entryInfoList({ QStringLiteral("*.corrupt-*") }, QDir::Files))
        found << info.fileName();
    return found;
}

}  // namespace

class TestE2eDay : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void askTheAssistantAndPasteItsAnswer();
    void translateASelectionAndInsertIt();
    void aNoteSurvivesARestart();
    void quitFromTheTray();
    void cleanupTestCase();

private:
    // A paste of mendo ends with the clipboard given back as it was; the
    // field has its new text by then, and Return hands it to zenity's output.
    void acceptPastedText(OtherApp& dialog, ClipboardOwnerChanges& ownerChanges, const QString& expected);
    // Counts the clipboard's changes from now on, and keeps what it holds.
    std::unique_ptr<ClipboardOwnerChanges> beforePaste()
    {
        m_clipboardBefore = MendoSession::clipboard(clipboardTypes()).formats;
        return std::make_unique<ClipboardOwnerChanges>();
    }
    static QStringList clipboardTypes() { return { QStringLiteral("text/plain"), QStringLiteral("image/png") }; }
    QString notesPath() const
    {
        return m_session->dataHome() + QStringLiteral("/MendoAI/") + ClipboardNotesService::fileName;
    }
    QString failureContext() { return QString::fromUtf8(m_session->mendoOutput()); }

    std::unique_ptr<OtherApp> m_trayer;
    std::unique_ptr<MendoSession> m_session;
    std::unique_ptr<OtherApp> m_usersCopy;
    QList<QPair<QString, QByteArray>> m_clipboardBefore;
    QElapsedTimer m_day;
};

void TestE2eDay::initTestCase()
{
    for (const char* tool : { "xdotool", "xclip", "setxkbmap", "zenity", "trayer" })
        QVERIFY2(!QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty(), tool);
    m_day.start();
    // The desktop's tray is up before MendoAI starts, as after a login.
    m_trayer = startTrayer();
    QVERIFY(m_trayer);
    m_session = std::make_unique<MendoSession>(MendoSession::Options {
        .answers = { resultAnswer(reply), resultAnswer(english) },
        .serviceDown = false,
        .defaults = { { QStringLiteral("mendo.openMainWindowOnLaunch"), false } },
    });
    QVERIFY2(m_session->start(), qPrintable(m_session->failure()));
    QTRY_VERIFY_WITH_TIMEOUT(trayIconShown(m_session->mendoPid()), kTimeoutMs);
    QCOMPARE(m_session->mainWindow(), quint64(0));
    m_usersCopy = m_session->userCopies(usersClipboard);
    QVERIFY(m_usersCopy);
}

void TestE2eDay::acceptPastedText(OtherApp& dialog, ClipboardOwnerChanges& ownerChanges, const QString& expected)
{
    // The text for the paste goes on the clipboard, then what was there
    // before comes back.
    QTRY_VERIFY2_WITH_TIMEOUT(ownerChanges.count() >= 1, qPrintable(failureContext()), kTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(MendoSession::clipboard(clipboardTypes()).formats, m_clipboardBefore, kTimeoutMs);
    QTRY_COMPARE_WITH_TIMEOUT(activeWindowPid(), dialog.pid(), kTimeoutMs);
    MendoSession::press(QStringLiteral("Return"));
    QTRY_COMPARE_WITH_TIMEOUT(QString::fromUtf8(dialog.output()).trimmed(), expected, kTimeoutMs);
}

void TestE2eDay::askTheAssistantAndPasteItsAnswer()
{
    auto dialog = m_session->startInFront(
        QStringLiteral("zenity"), { QStringLiteral("--entry"), QStringLiteral("--entry-text=") + question });
    QVERIFY(dialog);
    MendoSession::press(QStringLiteral("ctrl+a"));
    QTest::qWait(200);

    MendoSession::hold(QStringLiteral("alt+i"));
    QTRY_COMPARE_WITH_TIMEOUT(activeWindowName(), QStringLiteral("AI assistant"), kTimeoutMs);
    testing::xdotool({ QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), request });
    MendoSession::press(QStringLiteral("Return"));
    QTRY_COMPARE_WITH_TIMEOUT(m_session->requests().size(), 1, kTimeoutMs);
    QCOMPARE(requestText(m_session->requests().first()),
        QStringLiteral("Selected text:\n") + question + QStringLiteral("\n\nRequest:\n") + request);

    const auto ownerChanges = beforePaste();
    QVERIFY2(clickAccessible(m_session->mendoPid(), QStringLiteral("Paste result"), ATSPI_ROLE_PUSH_BUTTON),
        qPrintable(failureContext()));
    QTRY_VERIFY_WITH_TIMEOUT(m_session->visibleWindow(QStringLiteral("AI assistant")) == 0, kTimeoutMs);
    acceptPastedText(*dialog, *ownerChanges, reply);
}

void TestE2eDay::translateASelectionAndInsertIt()
{
    auto dialog = m_session->startInFront(
        QStringLiteral("zenity"), { QStringLiteral("--entry"), QStringLiteral("--entry-text=") + german });
    QVERIFY(dialog);
    MendoSession::press(QStringLiteral("ctrl+a"));
    QTest::qWait(200);

    MendoSession::hold(QStringLiteral("alt+r"));
    QTRY_COMPARE_WITH_TIMEOUT(m_session->requests().size(), 2, kTimeoutMs);
    QCOMPARE(requestText(m_session->requests().last()), german);

    // "Insert" is enabled once the translation is in.
    const auto ownerChanges = beforePaste();
    QVERIFY2(clickAccessible(m_session->mendoPid(), QStringLiteral("Insert"), ATSPI_ROLE_PUSH_BUTTON),
        qPrintable(failureContext()));
    acceptPastedText(*dialog, *ownerChanges, english);
}

void TestE2eDay::aNoteSurvivesARestart()
{
    auto dialog = m_session->startInFront(QStringLiteral("zenity"), { QStringLiteral("--entry") });
    QVERIFY(dialog);
    const qint64 firstPid = m_session->mendoPid();

    MendoSession::hold(QStringLiteral("alt+v"));
    quint64 window = 0;
    QTRY_VERIFY_WITH_TIMEOUT((window = m_session->visibleWindow(QStringLiteral("Clipboard"))) != 0, kTimeoutMs);
    // Widened, as the user drags its edge: the chosen note's card with its
    // buttons shows beside the list from then on.
    testing::xdotool(
        { QStringLiteral("windowsize"), QString::number(window), QStringLiteral("760"), QStringLiteral("600") });
    QVERIFY2(
        clickAccessible(firstPid, QStringLiteral("Add note"), ATSPI_ROLE_PUSH_BUTTON), qPrintable(failureContext()));
    // The click made the clipboard window the active one; its editor takes
    // the typing.
    QTRY_COMPARE_WITH_TIMEOUT(activeWindowPid(), qint32(firstPid), kTimeoutMs);
    QTest::qWait(200);
    testing::xdotool({ QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("40"), noteText });
    QVERIFY(clickAccessible(firstPid, QStringLiteral("Save"), ATSPI_ROLE_PUSH_BUTTON));
    QTRY_VERIFY_WITH_TIMEOUT(readAll(notesPath()).contains(noteText.toUtf8()), kTimeoutMs);

    QVERIFY2(m_session->restartMendo(), qPrintable(m_session->failure()));
    QVERIFY(m_session->mendoPid() != firstPid);
    QTRY_VERIFY_WITH_TIMEOUT(trayIconShown(m_session->mendoPid()), kTimeoutMs);
    QVERIFY(m_session->bringToFront(*dialog));

    // The note is where it was written: the tab made for it, first in it.
    MendoSession::hold(QStringLiteral("alt+v"));
    QVERIFY2(clickAccessible(m_session->mendoPid(), QStringLiteral("Notes"), ATSPI_ROLE_PUSH_BUTTON),
        qPrintable(failureContext()));
    const auto ownerChanges = beforePaste();
    QVERIFY2(clickAccessible(m_session->mendoPid(), QStringLiteral("Paste"), ATSPI_ROLE_PUSH_BUTTON),
        qPrintable(failureContext()));
    acceptPastedText(*dialog, *ownerChanges, noteText);
}

void TestE2eDay::quitFromTheTray()
{
    const qint64 pid = m_session->mendoPid();
    const QString guard = QFileInfo(QStringLiteral(MENDO_BINARY)).dir().filePath(QStringLiteral("mendo-display-guard"));
    QVERIFY(QFileInfo::exists(guard));
    const QStringList programs { QStringLiteral(MENDO_BINARY), guard };
    QCOMPARE(processesRunning(programs), QList<qint64> { pid });
    std::optional<QRect> icon;
    QTRY_VERIFY_WITH_TIMEOUT((icon = trayIcon(pid)).has_value(), kTimeoutMs);
    testing::clickAt(icon->center());
    // Qt leaves pop-up menus out of an application's accessible children:
    // the item is clicked where the menu shows it, the last one.
    quint64 menu = 0;
    QTRY_VERIFY_WITH_TIMEOUT((menu = m_session->visibleWindow(QStringLiteral("MendoAI"), 100)) != 0, kTimeoutMs);
    const QRect frame = windowGeometry(menu);
    QTest::qWait(200);
    testing::clickAt(QPoint(frame.center().x(), frame.bottom() - 12));
    const std::optional<int> exitCode = m_session->waitForMendoExit(kTimeoutMs);
    QVERIFY2(exitCode.has_value(), qPrintable(failureContext()));
    QCOMPARE(*exitCode, 0);

    // Neither mendo nor a guard of its display is left.
    QTRY_VERIFY_WITH_TIMEOUT(processesRunning(programs).isEmpty(), kTimeoutMs);

    // The files it wrote last read whole, with the day's note.
    QString error;
    const std::optional<QVariantMap> defaults = defaults_file::decode(readAll(m_session->defaultsFile()), &error);
    QVERIFY2(defaults, qPrintable(error));
    QCOMPARE(defaults->value(QStringLiteral("mendo.openMainWindowOnLaunch")), QVariant(false));
    const std::optional<QList<ClipboardNoteTab>> tabs = ClipboardNotesService::decode(readAll(notesPath()));
    QVERIFY(tabs);
    QCOMPARE(tabs->size(), 1);
    QCOMPARE(tabs->first().notes.size(), 1);
    QCOMPARE(tabs->first().notes.first().text, noteText);
    QVERIFY(!defaults->contains(ClipboardNotesService::fallbackDefaultsKey));
    QCOMPARE(
        setAside(QFileInfo(m_session->defaultsFile()).path()) + setAside(QFileInfo(notesPath()).path()), QStringList());
}

void TestE2eDay::cleanupTestCase()
{
    m_session.reset();
    m_usersCopy.reset();
    m_trayer.reset();
    qInfo("the day took %lld ms", qint64(m_day.elapsed()));
}

QTEST_GUILESS_MAIN(TestE2eDay)
#include "test_e2e_day.moc"
