// MendoAI installed as a desktop application: `cmake --install` into a prefix
// puts the programs, the desktop entry and its icon there, the entry passes
// the desktop's validator, and with the prefix among the data folders,
// MendoAI started from the entry's Exec line has its window named by the
// entry's id, as the rules of per-application layouts and the focus memory
// name applications, and the entry's StartupWMClass is the window's class.

#include "MendoSession.h"

#include "platform/DesktopEntry.h"
#include "platform/x11/OwnApplicationIds.h"

#include <QFileInfo>
#include <QImage>
#include <QTest>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace mendo;
using namespace mendo::e2e;

namespace {

// Runs a program to its end; its exit code (-1 when it did not end normally)
// and its output.
QPair<int, QString> run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ended = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return { ended ? process.exitCode() : -1, QString::fromUtf8(process.readAll()) };
}

}  // namespace

class TestE2eInstall : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void installedEntryNamesTheWindow()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        // A space in the prefix, which the entry's Exec must quote.
        const QString prefix = root.filePath(QStringLiteral("my prefix"));
        const auto [installed, installOutput] = run(QStringLiteral(CMAKE_COMMAND),
            { QStringLiteral("--install"), QStringLiteral(MENDO_BUILD_DIR), QStringLiteral("--prefix"), prefix });
        QVERIFY2(installed == 0, qPrintable(installOutput));

        const QString id = ownApplicationIds().first();
        const QString applications = prefix + QStringLiteral("/share/applications");
        const QString entry = applications + QLatin1Char('/') + id + QStringLiteral(".desktop");
        // mendo starts the guard from its own folder.
        QVERIFY(QFileInfo(prefix + QStringLiteral("/bin/mendo-display-guard")).isExecutable());
        QVERIFY(!QImage(prefix + QStringLiteral("/share/icons/hicolor/scalable/apps/") + id + QStringLiteral(".svg"))
                     .isNull());
        const auto [valid, validatorOutput] = run(QStringLiteral("desktop-file-validate"), { entry });
        QVERIFY2(valid == 0 && !validatorOutput.contains(QLatin1String("error")), qPrintable(validatorOutput));

        // Started as a launcher starts it.
        const QStringList command = QProcess::splitCommand(ApplicationIdResolver::execOf({ applications }, id));
        QCOMPARE(command, QStringList { prefix + QStringLiteral("/bin/mendo") });
        qputenv("XDG_DATA_HOME", root.filePath(QStringLiteral("data_home")).toLocal8Bit());
        const QByteArray dataDirs = qgetenv("XDG_DATA_DIRS");
        qputenv("XDG_DATA_DIRS",
            QFile::encodeName(prefix) + "/share:" + (dataDirs.isEmpty() ? "/usr/local/share:/usr/share" : dataDirs));
        MendoSession::Options options;
        options.program = command.first();
        MendoSession session(options);
        QVERIFY2(session.start(), qPrintable(session.failure()));

        ApplicationIdResolver resolver;
        x11::X11Connection connection;
        X11Workspace workspace(connection, resolver);
        auto mendoWindow = [&] {
            for (const RunningApplication& running : workspace.runningApplications()) {
                if (running.processIdentifier == session.mendoPid())
                    return running;
            }
            return RunningApplication {};
        };
        QTRY_COMPARE_WITH_TIMEOUT(mendoWindow().bundleIdentifier, id, 10000);
        // Desktops that match windows by StartupWMClass alone find the entry
        // too: it names the class of MendoAI's real window.
        XClassHint hint {};
        QVERIFY(XGetClassHint(connection.display(), mendoWindow().window, &hint));
        const QString windowClass = QString::fromLocal8Bit(hint.res_class);
        XFree(hint.res_name);
        XFree(hint.res_class);
        const auto parsed = readDesktopEntry(entry);
        QVERIFY(parsed);
        QCOMPARE(parsed->startupWMClass, windowClass);
    }
};

QTEST_MAIN(TestE2eInstall)
#include "test_e2e_install.moc"
