#include "settings/SettingsRig.h"

#include "settings/PermissionsSettingsView.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

using namespace mendo;

namespace {

void settle(SettingsRig& rig)
{
    for (int i = 0; i < 3; ++i) {
        rig.clock.advance(Millis(0));
        QCoreApplication::processEvents();
    }
}

struct Shown {
    QString text;
    QString symbol;
    QString caption;
};

Shown shown(const PermissionBadge* badge)
{
    return { badge->text(), badge->symbolName(), badge->caption() };
}

}  // namespace

class TestPermissionsSettings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void badgesPerGrant_data();
    void badgesPerGrant();
    void buttonsStartTheirOperation();
    void textsInBothLanguages();
};

void TestPermissionsSettings::badgesPerGrant_data()
{
    QTest::addColumn<bool>("accessibility");
    QTest::addColumn<bool>("inputMonitoring");
    QTest::addColumn<UiLanguage>("language");
    for (const UiLanguage language : { UiLanguage::en, UiLanguage::ru }) {
        const char* suffix = language == UiLanguage::ru ? ", ru" : ", en";
        QTest::newRow(QByteArray("both granted").append(suffix).constData()) << true << true << language;
        QTest::newRow(QByteArray("input missing").append(suffix).constData()) << true << false << language;
        QTest::newRow(QByteArray("bus off").append(suffix).constData()) << false << true << language;
        QTest::newRow(QByteArray("none").append(suffix).constData()) << false << false << language;
    }
}

void TestPermissionsSettings::badgesPerGrant()
{
    QFETCH(bool, accessibility);
    QFETCH(bool, inputMonitoring);
    QFETCH(UiLanguage, language);
    SettingsRig rig([&](MendoSettings& s) { s.uiLanguage = language; });
    rig.state->setSelectedSettingsPage(SettingsPage::permissions);
    auto* page = rig.shownPage<PermissionsSettingsView>();
    QVERIFY(page);
    rig.accessibility.granted = accessibility;
    rig.inputMonitoring.granted = inputMonitoring;
    rig.state->refreshPermissions();
    settle(rig);

    const bool ru = language == UiLanguage::ru;
    const Shown granted { ru ? "Разрешено" : "Granted", "checkmark.circle.fill", {} };
    const Shown missing { ru ? "Нужен доступ" : "Needs Access", "exclamationmark.circle", {} };
    const Shown a = shown(page->accessibilityBadge());
    const Shown i = shown(page->inputMonitoringBadge());
    QCOMPARE(a.text, (accessibility ? granted : missing).text);
    QCOMPARE(a.symbol, (accessibility ? granted : missing).symbol);
    QCOMPARE(i.text, (inputMonitoring ? granted : missing).text);
    QCOMPARE(i.symbol, (inputMonitoring ? granted : missing).symbol);
    const QString accessibilityCaption = accessibility
        ? (ru ? "Шина специальных возможностей (AT-SPI) включена: через неё MendoAI читает и заменяет текст."
              : "The accessibility bus (AT-SPI) is on: MendoAI reads and replaces text through it.")
        : (ru ? "Шина специальных возможностей (AT-SPI) выключена: MendoAI читает и заменяет текст через буфер обмена."
              : "The accessibility bus (AT-SPI) is off: MendoAI reads and replaces text through the clipboard instead.");
    const QString inputCaption = inputMonitoring
        ? (ru ? "X-сервер поддерживает XTEST и XInput 2: через них MendoAI нажимает клавиши и следит за мышью."
              : "The X server offers XTEST and XInput 2: MendoAI sends keys and watches the mouse through them.")
        : (ru ? "X-серверу не хватает XTEST или XInput 2: MendoAI не может нажимать клавиши и следить за мышью."
              : "The X server lacks XTEST or XInput 2: MendoAI cannot send keys or watch the mouse.");
    QCOMPARE(a.caption, accessibilityCaption);
    QCOMPARE(i.caption, inputCaption);
    // Green when granted, orange when not.
    for (const PermissionBadge* badge : { page->accessibilityBadge(), page->inputMonitoringBadge() }) {
        const QColor tone = badge->color();
        if (badge->granted())
            QVERIFY(tone.green() > tone.red() && tone.green() > tone.blue());
        else
            QVERIFY(tone.red() > tone.green() && tone.green() > tone.blue());
    }
    // No status for a refresh.
    QCOMPARE(rig.statuses, QStringList());
}

void TestPermissionsSettings::buttonsStartTheirOperation()
{
    SettingsRig rig;
    rig.processes.installed.insert(QStringLiteral("gnome-control-center"), QStringLiteral("/usr/bin/gnome-control-center"));
    rig.accessibility.granted = false;
    rig.inputMonitoring.granted = true;
    rig.state->refreshPermissions();
    settle(rig);
    rig.state->setSelectedSettingsPage(SettingsPage::permissions);
    auto* page = rig.shownPage<PermissionsSettingsView>();
    QCOMPARE(page->accessibilityBadge()->text(), QStringLiteral("Needs Access"));

    // Refresh reads the grants again, silently.
    rig.accessibility.granted = true;
    page->refreshButton()->click();
    settle(rig);
    QCOMPARE(page->accessibilityBadge()->text(), QStringLiteral("Granted"));
    QCOMPARE(rig.statuses, QStringList());

    // Request asks for both and reports it.
    rig.accessibility.granted = false;
    page->requestButton()->click();
    settle(rig);
    QCOMPARE(rig.accessibility.requests, 1);
    QCOMPARE(rig.inputMonitoring.requests, 1);
    QCOMPARE(page->accessibilityBadge()->text(), QStringLiteral("Granted"));
    QCOMPARE(rig.statuses.filter(QStringLiteral("ermission")),
        (QStringList { "0 running Requesting permissions", "0 done Permission request sent" }));

    // Both Open buttons open the desktop's accessibility settings.
    page->openAccessibilityButton()->click();
    page->openInputMonitoringButton()->click();
    settle(rig);
    QCOMPARE(rig.processes.started,
        (QStringList { "/usr/bin/gnome-control-center universal-access",
            "/usr/bin/gnome-control-center universal-access" }));
    QVERIFY(!page->openAccessibilityButton()->toolTip().contains(QStringLiteral("Input Monitoring")));
    QCOMPARE(page->openInputMonitoringButton()->toolTip(),
        QStringLiteral("Opens the accessibility settings: Linux has no separate Input Monitoring settings."));

    // Reset runs the reset tool, then asks again.
    rig.statuses.clear();
    page->resetButton()->click();
    for (int i = 0; i < 5; ++i) {
        rig.clock.advance(Millis(400));
        QCoreApplication::processEvents();
    }
    QVERIFY(!rig.processes.runs.isEmpty());
    QCOMPARE(rig.statuses.first(), QStringLiteral("0 running Resetting permissions"));
    QVERIFY2(rig.statuses.filter(QStringLiteral("done Permissions reset. Request sent.")).size() == 1,
        qPrintable(rig.statuses.join(QLatin1String(" | "))));
    QCOMPARE(rig.accessibility.requests, 2);
}

void TestPermissionsSettings::textsInBothLanguages()
{
    SettingsRig rig;
    rig.state->setSelectedSettingsPage(SettingsPage::permissions);
    auto* page = rig.shownPage<PermissionsSettingsView>();
    auto buttons = [page] {
        return QStringList { page->refreshButton()->text(), page->requestButton()->text(),
            page->openAccessibilityButton()->text(), page->openInputMonitoringButton()->text(),
            page->resetButton()->text(), page->note()->text() };
    };
    QCOMPARE(buttons(),
        (QStringList { "Refresh", "Request permissions", "Open Accessibility", "Open Input Monitoring",
            "Reset Mendo permissions + request again",
            "Linux keeps no per-application permissions: Request permissions switches the accessibility bus on." }));
    QVERIFY(page->findChildren<QLabel*>().size() > 2);
    rig.setLanguage(UiLanguage::ru);
    QCOMPARE(buttons(),
        (QStringList { "Обновить", "Запросить разрешения", "Открыть Универсальный доступ", "Открыть Мониторинг ввода",
            "Сбросить разрешения Mendo и запросить снова",
            "В Linux нет разрешений для отдельных приложений: «Запросить разрешения» включает шину специальных "
            "возможностей." }));
    QCOMPARE(page->openInputMonitoringButton()->toolTip(),
        QStringLiteral("Открывает настройки специальных возможностей: отдельных настроек мониторинга ввода в Linux нет."));
    QCOMPARE(page->accessibilityBadge()->text(), QStringLiteral("Нужен доступ"));
    QStringList rowTitles;
    for (const QLabel* label : page->findChildren<QLabel*>()) {
        if (label->buddy())
            rowTitles << label->text();
    }
    QCOMPARE(rowTitles, (QStringList { "Универсальный доступ", "Мониторинг ввода" }));
}

QTEST_MAIN(TestPermissionsSettings)
#include "test_permissions_settings.moc"
