#include "shell/SingleInstance.h"
#include "shell/TerminationSignals.h"
#include "fakes/FakeClock.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>
#include <qcoro/qcorotask.h>

#include <csignal>
#include <sys/stat.h>

using namespace mendo;
using namespace std::chrono_literals;

class TestSingleInstance : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void secondLaunchReopensTheFirst();
    void leftoversOfADeadInstanceAreTakenOver();
    void unusableDirectory();
    void givesUpWhenNobodyAnswers();
    void terminationSignals_data();
    void terminationSignals();
    void stuckProcessStillEndsAfterGrace();
};

// A second launch over `dir` finds `first` running and its reopen arrives.
static bool secondLaunchReaches(SingleInstance& first, const QString& dir)
{
    QSignalSpy reopened(&first, &SingleInstance::reopenRequested);
    SingleInstance second(dir);
    if (second.claim() != SingleInstance::Claim::alreadyRunning)
        return false;
    RealClock clock;
    return QCoro::waitFor(second.notifyRunningInstance(clock)) && reopened.wait(2000);
}

void TestSingleInstance::secondLaunchReopensTheFirst()
{
    QTemporaryDir tmp;
    const QString dir = tmp.path() + QStringLiteral("/MendoAI");
    SingleInstance first(dir);
    QCOMPARE(first.claim(), SingleInstance::Claim::primary);
    struct stat info { };
    QCOMPARE(::stat(QFile::encodeName(dir).constData(), &info), 0);
    QCOMPARE(info.st_mode & 0777, 0700u);

    QVERIFY(secondLaunchReaches(first, dir));

    // Anything else on the socket is ignored; a flood is cut off.
    QSignalSpy reopened(&first, &SingleInstance::reopenRequested);
    QLocalSocket stranger;
    stranger.connectToServer(first.socketPath());
    QVERIFY(stranger.waitForConnected(1000));
    stranger.write("hello\nreopen\n" + QByteArray(4096, 'x'));
    stranger.flush();
    QTRY_COMPARE(reopened.count(), 1);
    QTRY_COMPARE(stranger.state(), QLocalSocket::UnconnectedState);
    QCOMPARE(reopened.count(), 1);
}

void TestSingleInstance::leftoversOfADeadInstanceAreTakenOver()
{
    QTemporaryDir tmp;
    const QString dir = tmp.path();
    QVERIFY(QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    // A lock whose process is gone, and the socket file it left behind.
    QFile lock(dir + QStringLiteral("/instance.lock"));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write("2147480000\nmendo\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    lock.close();
    QFile socket(dir + QStringLiteral("/instance.socket"));
    QVERIFY(socket.open(QIODevice::WriteOnly));
    socket.close();

    SingleInstance instance(dir);
    QCOMPARE(instance.claim(), SingleInstance::Claim::primary);
    QVERIFY(secondLaunchReaches(instance, dir));
}

void TestSingleInstance::unusableDirectory()
{
    QTemporaryDir tmp;
    const QString path = tmp.path() + QStringLiteral("/in-the-way");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    SingleInstance instance(path);
    QCOMPARE(instance.claim(), SingleInstance::Claim::unavailable);
    QVERIFY(instance.errorString().contains(path));
}

void TestSingleInstance::givesUpWhenNobodyAnswers()
{
    // The lock is held but nothing listens (the other process hangs before
    // it listens): the second launch retries for three seconds, then fails.
    QTemporaryDir tmp;
    SingleInstance silent(tmp.path() + QStringLiteral("/x"));
    QCOMPARE(silent.claim(), SingleInstance::Claim::primary);
    QLocalServer::removeServer(silent.socketPath());

    FakeClock clock;
    SingleInstance second(tmp.path() + QStringLiteral("/x"));
    auto task = second.notifyRunningInstance(clock);
    clock.advance(2900ms);
    QVERIFY(!task.isReady());
    clock.advance(100ms);
    QVERIFY(task.isReady());
    QVERIFY(!QCoro::waitFor(std::move(task)));
}

void TestSingleInstance::terminationSignals_data()
{
    QTest::addColumn<int>("number");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestSingleInstance::terminationSignals()
{
    QFETCH(int, number);
    struct sigaction before { };
    ::sigaction(number, nullptr, &before);
    {
        TerminationSignals watcher;
        QSignalSpy received(&watcher, &TerminationSignals::received);
        ::raise(number);
        QVERIFY(received.wait(2000));
        QCOMPARE(received.first().first().toInt(), number);
    }
    struct sigaction after { };
    ::sigaction(number, nullptr, &after);
    QCOMPARE(reinterpret_cast<void*>(after.sa_handler), reinterpret_cast<void*>(before.sa_handler));
}

void TestSingleInstance::stuckProcessStillEndsAfterGrace()
{
    // A child whose main thread never returns to the event loop after the
    // signal: it must still end, by the grace alarm.
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        auto* watcher = new TerminationSignals(std::chrono::seconds(1));
        (void)watcher;
        ::raise(SIGTERM);
        for (int i = 0; i < 30; ++i)
            ::sleep(1);  // stuck: the event loop never runs
        ::_exit(0);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QVERIFY(WIFSIGNALED(status));
    QCOMPARE(WTERMSIG(status), SIGALRM);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_single_instance.moc"
