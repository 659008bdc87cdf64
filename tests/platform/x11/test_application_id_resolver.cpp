// Application ids from WM_CLASS and the installed desktop entries.

#include "platform/x11/ApplicationIdResolver.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <sys/time.h>

using namespace mendo;

class TestApplicationIdResolver : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void resolves_data();
    void resolves();
    void picksUpEntriesInstalledLater();

private:
    void writeEntry(const QString& dir, const QString& relativePath, const QByteArray& body);
    QTemporaryDir m_root;
    QString m_user;
    QString m_system;
};

void TestApplicationIdResolver::init()
{
    QVERIFY(m_root.isValid());
    m_user = m_root.filePath(QStringLiteral("user/applications"));
    m_system = m_root.filePath(QStringLiteral("system/applications"));
    QDir().mkpath(m_user);
    QDir().mkpath(m_system);
}

void TestApplicationIdResolver::writeEntry(const QString& dir, const QString& relativePath, const QByteArray& body)
{
    const QString path = dir + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(body);
}

void TestApplicationIdResolver::resolves_data()
{
    QTest::addColumn<QString>("instance");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("expected");

    QTest::newRow("StartupWMClass") << "navigator" << "Firefox-esr" << "firefox-esr";
    QTest::newRow("StartupWMClass by instance") << "telegram-desktop" << "Telegram" << "org.telegram.desktop";
    QTest::newRow("file name, any case") << "gedit" << "Gedit" << "gedit";
    QTest::newRow("last part of a dotted id") << "kate" << "kate" << "org.kde.kate";
    QTest::newRow("entry in a subfolder") << "konsole" << "Konsole" << "kde4-konsole";
    QTest::newRow("user entry hides system entry") << "slack" << "Slack" << "com.slack.Slack";
    QTest::newRow("hidden entry does not count") << "removed" << "Removed" << "Removed";
    QTest::newRow("not a desktop entry") << "junk" << "Junk" << "Junk";
    QTest::newRow("no entry: the class") << "xterm" << "XTerm" << "XTerm";
    QTest::newRow("no class: the instance") << "oddapp" << "" << "oddapp";
    QTest::newRow("nothing at all") << "" << "" << "";
}

void TestApplicationIdResolver::resolves()
{
    QFETCH(QString, instance);
    QFETCH(QString, className);
    QFETCH(QString, expected);

    writeEntry(m_system, QStringLiteral("firefox-esr.desktop"),
               "[Desktop Entry]\nName=Firefox\nStartupWMClass = Firefox-esr\n[Desktop Action new]\nStartupWMClass=Nope\n");
    writeEntry(m_system, QStringLiteral("org.telegram.desktop.desktop"),
               "[Desktop Entry]\nName=Telegram\nStartupWMClass=telegram-desktop\n");
    writeEntry(m_system, QStringLiteral("gedit.desktop"), "[Desktop Entry]\nName=gedit\n");
    writeEntry(m_system, QStringLiteral("org.kde.kate.desktop"), "[Desktop Entry]\nName=Kate\n");
    writeEntry(m_system, QStringLiteral("kde4/konsole.desktop"), "[Desktop Entry]\nStartupWMClass=Konsole\n");
    // The user's entry of the same id overrides the system's: the system's
    // class would point elsewhere.
    writeEntry(m_system, QStringLiteral("com.slack.Slack.desktop"), "[Desktop Entry]\nStartupWMClass=Other\n");
    writeEntry(m_user, QStringLiteral("com.slack.Slack.desktop"), "[Desktop Entry]\nStartupWMClass=Slack\n");
    writeEntry(m_user, QStringLiteral("other.desktop"), "[Desktop Entry]\nStartupWMClass=Other\n");
    writeEntry(m_system, QStringLiteral("removed.desktop"), "[Desktop Entry]\nHidden=true\nStartupWMClass=Removed\n");
    writeEntry(m_system, QStringLiteral("junk.desktop"), "not a desktop entry\n");

    ApplicationIdResolver resolver({m_user, m_system, m_root.filePath(QStringLiteral("missing"))});
    QCOMPARE(resolver.applicationId(instance, className), expected);
}

void TestApplicationIdResolver::picksUpEntriesInstalledLater()
{
    ApplicationIdResolver resolver({m_user, m_system});
    QCOMPARE(resolver.applicationId(QStringLiteral("code"), QStringLiteral("Code")), QStringLiteral("Code"));
    writeEntry(m_user, QStringLiteral("com.visualstudio.code.desktop"), "[Desktop Entry]\nStartupWMClass=Code\n");
    // The folder's time stamp may be as coarse as a clock tick: move it on
    // explicitly rather than wait for the tick.
    const timeval later[2] = {{std::time(nullptr) + 60, 0}, {std::time(nullptr) + 60, 0}};
    QCOMPARE(::utimes(QFile::encodeName(m_user).constData(), later), 0);
    QCOMPARE(resolver.applicationId(QStringLiteral("code"), QStringLiteral("Code")),
             QStringLiteral("com.visualstudio.code"));
}

QTEST_GUILESS_MAIN(TestApplicationIdResolver)
#include "test_application_id_resolver.moc"
