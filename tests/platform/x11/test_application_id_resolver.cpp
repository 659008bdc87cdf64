// Application ids from WM_CLASS and the installed desktop entries, the
// catalogue of installed applications read from the same entries, and the
// Exec line the browser's app windows start from.

#include "platform/DesktopEntry.h"
#include "platform/x11/ApplicationIdResolver.h"
#include "platform/x11/X11ApplicationCatalog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <ctime>
#include <memory>
#include <sys/time.h>

using namespace mendo;

class TestApplicationIdResolver : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void resolves_data();
    void resolves();
    void picksUpEntriesInstalledLater();
    void execOfTheFirstEntryOfTheId_data();
    void execOfTheFirstEntryOfTheId();
    void readsTheKeysOfTheMainGroup();
    void catalogueListsShownApplications();
    void catalogueIdIsTheResolversId();

private:
    void writeEntry(const QString& dir, const QString& relativePath, const QByteArray& body);
    // Fresh for every test function: each lays out its own folders.
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_user;
    QString m_system;
};

void TestApplicationIdResolver::init()
{
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    m_user = m_root->filePath(QStringLiteral("user/applications"));
    m_system = m_root->filePath(QStringLiteral("system/applications"));
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

    ApplicationIdResolver resolver({m_user, m_system, m_root->filePath(QStringLiteral("missing"))});
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

void TestApplicationIdResolver::execOfTheFirstEntryOfTheId_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("expected");
    QTest::newRow("user entry first") << "chromium" << "/home/me/bin/chromium %U";
    QTest::newRow("system entry") << "google-chrome" << "/usr/bin/google-chrome-stable --incognito %U";
    QTest::newRow("hidden first entry hides the later one") << "vivaldi" << "";
    QTest::newRow("no such entry") << "nothing" << "";
    QTest::newRow("a path is no id") << "../system/applications/google-chrome" << "";
    QTest::newRow("empty id") << "" << "";
}

void TestApplicationIdResolver::execOfTheFirstEntryOfTheId()
{
    QFETCH(QString, id);
    QFETCH(QString, expected);
    writeEntry(m_user, QStringLiteral("chromium.desktop"), "[Desktop Entry]\nExec=/home/me/bin/chromium %U\n");
    writeEntry(m_system, QStringLiteral("chromium.desktop"), "[Desktop Entry]\nExec=/usr/bin/chromium %U\n");
    writeEntry(m_system, QStringLiteral("google-chrome.desktop"),
        "[Desktop Entry]\nExec = /usr/bin/google-chrome-stable --incognito %U\n[Desktop Action new]\nExec=other\n");
    writeEntry(m_user, QStringLiteral("vivaldi.desktop"), "[Desktop Entry]\nHidden=true\nExec=/opt/v\n");
    writeEntry(m_system, QStringLiteral("vivaldi.desktop"), "[Desktop Entry]\nExec=/usr/bin/vivaldi\n");
    QCOMPARE(ApplicationIdResolver::execOf({ m_user, m_system }, id), expected);
}

void TestApplicationIdResolver::readsTheKeysOfTheMainGroup()
{
    const auto entry = parseDesktopEntry("# comment\n[Desktop Entry]\r\nType=Application\r\n"
                                         "Name=Text\\sEditor\nName[ru]=Текстовый редактор\nName[de]=Texteditor\n"
                                         "Icon = org.example.Editor\nNoDisplay=true\nHidden=false\n"
                                         "StartupWMClass=Editor\nExec=editor %F\nnonsense line\n"
                                         "[Desktop Action window]\nName=New Window\nIcon=other\n");
    QVERIFY(entry);
    QCOMPARE(*entry,
        (DesktopEntry { QStringLiteral("Application"), QStringLiteral("Text Editor"),
            QStringLiteral("Текстовый редактор"), QStringLiteral("org.example.Editor"), QStringLiteral("editor %F"),
            QStringLiteral("Editor"), false, true }));
    QVERIFY(!parseDesktopEntry("Name=No group\n"));
    QVERIFY(!parseDesktopEntry("[Desktop Action x]\nName=Only an action\n"));
    QVERIFY(!parseDesktopEntry(""));
    // Bytes that are not UTF-8 cost the name its letters, not the entry.
    const auto latin1 = parseDesktopEntry("[Desktop Entry]\nName=Caf\xe9\nType=Application\n");
    QVERIFY(latin1);
    QCOMPARE(latin1->type, QStringLiteral("Application"));
    QCOMPARE(latin1->name, QStringLiteral("Caf\uFFFD"));
}

void TestApplicationIdResolver::catalogueListsShownApplications()
{
    writeEntry(m_system, QStringLiteral("org.example.Editor.desktop"),
        "[Desktop Entry]\nType=Application\nName=Editor\nName[ru]=Редактор\nIcon=accessories-text-editor\n");
    writeEntry(m_system, QStringLiteral("kde4/konsole.desktop"),
        "[Desktop Entry]\nType=Application\nName=Konsole\nIcon=/opt/konsole.png\n");
    // The user's own entry wins over the system's, even one it hides.
    writeEntry(m_system, QStringLiteral("slack.desktop"), "[Desktop Entry]\nType=Application\nName=System Slack\n");
    writeEntry(m_user, QStringLiteral("slack.desktop"), "[Desktop Entry]\nType=Application\nName=My Slack\n");
    writeEntry(m_system, QStringLiteral("removed.desktop"), "[Desktop Entry]\nType=Application\nName=Removed\n");
    writeEntry(m_user, QStringLiteral("removed.desktop"), "[Desktop Entry]\nType=Application\nHidden=true\n");
    writeEntry(m_system, QStringLiteral("helper.desktop"), "[Desktop Entry]\nType=Application\nNoDisplay=true\n");
    writeEntry(m_system, QStringLiteral("site.desktop"), "[Desktop Entry]\nType=Link\nName=Site\n");
    writeEntry(m_system, QStringLiteral("untyped.desktop"), "[Desktop Entry]\nName=Untyped\n");
    writeEntry(m_system, QStringLiteral("junk.desktop"), "Type=Application\nName=Junk\n");
    writeEntry(m_system, QStringLiteral("huge.desktop"),
        "[Desktop Entry]\nType=Application\nName=Huge\n" + QByteArray(maximumDesktopEntrySize, '#'));
    writeEntry(m_system, QStringLiteral("notes.txt"), "[Desktop Entry]\nType=Application\nName=Not an entry\n");

    X11ApplicationCatalog catalog({ m_user, m_system, m_root->filePath(QStringLiteral("missing")) });
    QList<InstalledApplication> listed = catalog.installedApplications();
    std::sort(listed.begin(), listed.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
    const QList<InstalledApplication> expected {
        { QStringLiteral("kde4-konsole"), QStringLiteral("Konsole"), {}, QStringLiteral("/opt/konsole.png"),
            m_system + QStringLiteral("/kde4/konsole.desktop") },
        { QStringLiteral("org.example.Editor"), QStringLiteral("Editor"), QStringLiteral("Редактор"),
            QStringLiteral("accessories-text-editor"), m_system + QStringLiteral("/org.example.Editor.desktop") },
        { QStringLiteral("slack"), QStringLiteral("My Slack"), {}, {}, m_user + QStringLiteral("/slack.desktop") },
    };
    QCOMPARE(listed, expected);
}

void TestApplicationIdResolver::catalogueIdIsTheResolversId()
{
    // A window's class leads the resolver to the very id the catalogue lists
    // the entry under: a rule made from the catalogue matches the window.
    writeEntry(m_user, QStringLiteral("tools/mendo-target.desktop"),
        "[Desktop Entry]\nType=Application\nName=Target\nStartupWMClass=MendoTarget\n");
    writeEntry(m_system, QStringLiteral("org.kde.kate.desktop"), "[Desktop Entry]\nType=Application\nName=Kate\n");
    const QStringList dirs { m_user, m_system };
    X11ApplicationCatalog catalog(dirs);
    ApplicationIdResolver resolver(dirs);
    QStringList ids;
    for (const InstalledApplication& application : catalog.installedApplications())
        ids << application.id;
    ids.sort();
    QCOMPARE(ids, (QStringList { QStringLiteral("org.kde.kate"), QStringLiteral("tools-mendo-target") }));
    QCOMPARE(resolver.applicationId(QStringLiteral("target"), QStringLiteral("MendoTarget")), ids.at(1));
    QCOMPARE(resolver.applicationId(QStringLiteral("kate"), QStringLiteral("kate")), ids.at(0));
}

QTEST_GUILESS_MAIN(TestApplicationIdResolver)
#include "test_application_id_resolver.moc"
