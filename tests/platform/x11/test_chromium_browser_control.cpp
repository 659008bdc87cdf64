#include "fakes/FakeProcesses.h"
#include "platform/x11/ChromiumBrowserControl.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace mendo;

namespace {

const qint32 pid = 4242;
const QString address = QStringLiteral("https://mail.example.org/u/0/#inbox?q=a b&x=1");

}  // namespace

class TestChromiumBrowserControl : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.path() + QLatin1Char('/') + name; }
    void write(const QString& name, const QByteArray& bytes, bool executable = false)
    {
        QDir().mkpath(QFileInfo(path(name)).path());
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        if (executable)
            file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        write(QStringLiteral("bin/chromium-launcher"), "#!/bin/sh\n", true);
        write(QStringLiteral("bin/chromium-binary"), "#!/bin/sh\n", true);
        QVERIFY(QDir().mkpath(path(QStringLiteral("my profile"))));
    }

    // The program and arguments of an app-window request, from the desktop
    // entry and the running process.
    void command_data()
    {
        QTest::addColumn<QString>("exec");  // the entry's Exec line; none when empty
        QTest::addColumn<QByteArray>("cmdline");
        QTest::addColumn<bool>("exe");  // /proc/<pid>/exe readable
        QTest::addColumn<QStringList>("expected");  // program, then arguments; empty: nothing started
        const QByteArray withDir = QByteArrayList { "/usr/lib/chromium/chromium", "--no-sandbox",
            "--user-data-dir=/home/u/.config/work", "--profile-directory=Profile 3", "" }.join('\0');
        const QByteArray withoutDir = QByteArrayList { "/usr/lib/chromium/chromium", "--no-sandbox", "" }.join('\0');
        const QString launcher = path(QStringLiteral("bin/chromium-launcher"));
        const QString binary = path(QStringLiteral("bin/chromium-binary"));
        const QString dirArg = QStringLiteral("--user-data-dir=/home/u/.config/work");
        const QString appArg = QStringLiteral("--app=") + address;
        QTest::newRow("desktop entry, its field code dropped, the profile folder kept")
            << launcher + QStringLiteral(" --enable-features=X %U") << withDir << true
            << QStringList { launcher, QStringLiteral("--enable-features=X"), dirArg, appArg };
        QTest::newRow("entry naming a program on the search path")
            << QStringLiteral("chromium %U") << withDir << true << QStringList { launcher, dirArg, appArg };
        QTest::newRow("no entry: the running executable") << QString() << withDir << true
                                                          << QStringList { binary, dirArg, appArg };
        QTest::newRow("entry's program missing: the running executable")
            << path(QStringLiteral("bin/gone")) + QStringLiteral(" %U") << withDir << true
            << QStringList { binary, dirArg, appArg };
        // The browser process renames itself: its arguments joined by spaces.
        const QString spaced = path(QStringLiteral("my profile"));
        const QByteArray renamed = "/usr/lib/chromium/chromium --no-sandbox --user-data-dir=" + spaced.toUtf8()
            + " file:///tmp/a%20b.html\0";
        QTest::newRow("renamed process, folder with a space before a page")
            << launcher << renamed << true
            << QStringList { launcher, QStringLiteral("--user-data-dir=") + spaced, appArg };
        QTest::newRow("renamed process, folder before the next switch")
            << launcher << QByteArray("/usr/lib/chromium/chromium --user-data-dir=" + spaced.toUtf8() + " --no-sandbox")
            << true << QStringList { launcher, QStringLiteral("--user-data-dir=") + spaced, appArg };
        QTest::newRow("renamed process, folder gone")
            << launcher << QByteArray("/usr/lib/chromium/chromium --user-data-dir=/nonexistent/x y") << true
            << QStringList { launcher, appArg };
        QTest::newRow("default profile folder") << launcher << withoutDir << true << QStringList { launcher, appArg };
        QTest::newRow("no program at all") << QString() << withDir << false << QStringList();
    }
    void command()
    {
        QFETCH(QString, exec);
        QFETCH(QByteArray, cmdline);
        QFETCH(bool, exe);
        QFETCH(QStringList, expected);
        QTemporaryDir root;
        const QString apps = root.path() + QStringLiteral("/applications");
        const QString proc = root.path() + QStringLiteral("/proc");
        QDir().mkpath(apps);
        QDir().mkpath(proc + QStringLiteral("/%1").arg(pid));
        if (!exec.isEmpty()) {
            QFile entry(apps + QStringLiteral("/chromium.desktop"));
            QVERIFY(entry.open(QIODevice::WriteOnly));
            entry.write("[Desktop Entry]\nType=Application\nName=Chromium\nExec=" + exec.toUtf8()
                + "\nStartupWMClass=chromium\n");
        }
        QFile file(proc + QStringLiteral("/%1/cmdline").arg(pid));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(cmdline);
        file.close();
        if (exe)
            QVERIFY(QFile::link(path(QStringLiteral("bin/chromium-binary")), proc + QStringLiteral("/%1/exe").arg(pid)));

        FakeProcesses processes;
        processes.installed.insert(QStringLiteral("chromium"), path(QStringLiteral("bin/chromium-launcher")));
        ChromiumBrowserControl browser(processes, { apps }, proc);
        const RunningApplication chromium { pid, QStringLiteral("chromium"), 0x400002 };
        QCOMPARE(browser.openAppWindow(chromium, address), !expected.isEmpty());
        QCOMPARE(processes.started, expected.isEmpty() ? QStringList() : QStringList { expected.join(QLatin1Char(' ')) });
        if (!expected.isEmpty()) {
            const auto command = browser.appWindowCommand(chromium, address);
            QVERIFY(command);
            QCOMPARE(QStringList { command->program } + command->arguments, expected);
        }
    }

    void failedStartDeclines()
    {
        QTemporaryDir root;
        QDir().mkpath(root.path() + QStringLiteral("/applications"));
        QFile entry(root.path() + QStringLiteral("/applications/google-chrome.desktop"));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nExec=" + path(QStringLiteral("bin/chromium-launcher")).toUtf8() + " %U\n");
        entry.close();
        FakeProcesses processes;
        processes.startSucceeds = false;
        ChromiumBrowserControl browser(processes, { root.path() + QStringLiteral("/applications") },
            root.path() + QStringLiteral("/proc"));
        QVERIFY(!browser.openAppWindow({ pid, QStringLiteral("google-chrome"), 1 }, address));
        QVERIFY(!browser.openAppWindow({ pid, QStringLiteral("google-chrome"), 1 }, QString()));
        QCOMPARE(processes.started.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestChromiumBrowserControl)
#include "test_chromium_browser_control.moc"
