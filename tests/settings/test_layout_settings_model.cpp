// The Layout page's behaviour without its widgets: the layout names its
// pickers offer, detecting the system's layouts, adding an application's
// rule through the chooser, and the bindings and removal of single rules.

#include "app/AppStateRig.h"
#include "settings/ApplicationChooser.h"
#include "settings/LayoutSettingsModel.h"

#include <QSignalSpy>
#include <QtTest>

using namespace mendo;

namespace {

// Answers with the queued choices in order; nothing (a cancel) once empty.
class FakeChooser final : public ApplicationChooser {
public:
    std::optional<ApplicationChoice> chooseApplication() override
    {
        ++asked;
        return answers.isEmpty() ? std::nullopt : answers.takeFirst();
    }
    QList<std::optional<ApplicationChoice>> answers;
    int asked = 0;
};

using Sources = QList<QPair<QString, QString>>;

const QUuid editorRule = QUuid::fromString(QStringLiteral("{11111111-1111-1111-1111-111111111111}"));
const QUuid terminalRule = QUuid::fromString(QStringLiteral("{22222222-2222-2222-2222-222222222222}"));
const QUuid browserRule = QUuid::fromString(QStringLiteral("{33333333-3333-3333-3333-333333333333}"));

AppLayoutRule rule(QUuid id, const QString& app, const QString& layout, bool enabled = true)
{
    return { id, QStringLiteral("org.example.") + app, app, QStringLiteral("/usr/share/applications/") + app,
        layout, enabled };
}

// The application state over the given input sources, with its page model.
struct LayoutRig : AppStateRig {
    FakeChooser chooser;
    std::unique_ptr<LayoutSettingsModel> model;
    // The settings as each save published them.
    QList<MendoSettings> saves;

    LayoutRig(const Sources& sources, const std::function<void(MendoSettings&)>& prepare = {})
        : AppStateRig(prepare)
    {
        for (const auto& [id, name] : sources)
            inputSources.add(id, name);
        model = std::make_unique<LayoutSettingsModel>(*state, layouts, chooser);
        QObject::connect(state.get(), &MendoAppState::settingsChanged, [this] { saves << state->settings(); });
    }
    const MendoSettings& settings() const { return state->settings(); }
};

const Sources usRu { { QStringLiteral("us"), QStringLiteral("English (US)") },
    { QStringLiteral("ru"), QStringLiteral("Russian") } };

}  // namespace

Q_DECLARE_METATYPE(Sources)

class TestLayoutSettingsModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void startsWithTheTwoDefaults();
    void appearOffersSortedUniqueNamesWithBothStoredValues_data();
    void appearOffersSortedUniqueNamesWithBothStoredValues();
    void detectTakesTheSystemOrderAndSavesLatinFirst_data();
    void detectTakesTheSystemOrderAndSavesLatinFirst();
    void addMakesOrRefreshesTheRule_data();
    void addMakesOrRefreshesTheRule();
    void cancelChangesNothing();
    void ruleBindingsWriteOnlyTheirOwnField();
    void removalKeepsTheOrderOfTheOthers();
};

void TestLayoutSettingsModel::startsWithTheTwoDefaults()
{
    LayoutRig rig(usRu);
    QCOMPARE(rig.model->layouts(), (QStringList { "ABC", "Русская — ПК" }));
}

void TestLayoutSettingsModel::appearOffersSortedUniqueNamesWithBothStoredValues_data()
{
    QTest::addColumn<Sources>("sources");
    QTest::addColumn<QString>("latin");
    QTest::addColumn<QString>("native");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("us,ru, stored defaults")
        << usRu << "ABC" << "Русская — ПК" << QStringList { "ABC", "English (US)", "Russian", "Русская — ПК" };
    QTest::newRow("stored values are system layouts")
        << usRu << "English (US)" << "Russian" << QStringList { "English (US)", "Russian" };
    QTest::newRow("system order is not kept")
        << Sources { { "ru", "Russian" }, { "de", "German" }, { "us", "English (US)" } } << "Russian" << "Russian"
        << QStringList { "English (US)", "German", "Russian" };
    QTest::newRow("no sources: the defaults of the suggestion")
        << Sources {} << "English (US)" << "Russian"
        << QStringList { "ABC", "English (US)", "Russian", "U.S.", "Русская — ПК" };
}

void TestLayoutSettingsModel::appearOffersSortedUniqueNamesWithBothStoredValues()
{
    QFETCH(Sources, sources);
    QFETCH(QString, latin);
    QFETCH(QString, native);
    QFETCH(QStringList, expected);
    LayoutRig rig(sources, [&](MendoSettings& s) {
        s.layoutLatinSource = latin;
        s.layoutNativeSource = native;
    });
    QSignalSpy changed(rig.model.get(), &LayoutSettingsModel::layoutsChanged);
    rig.model->appear();
    QCOMPARE(rig.model->layouts(), expected);
    QCOMPARE(changed.count(), 1);
    QVERIFY(rig.saves.isEmpty());
    // Shown again: the same list, nothing stored.
    rig.model->appear();
    QCOMPARE(rig.model->layouts(), expected);
    QVERIFY(rig.saves.isEmpty());
}

void TestLayoutSettingsModel::detectTakesTheSystemOrderAndSavesLatinFirst_data()
{
    QTest::addColumn<Sources>("sources");
    QTest::addColumn<QStringList>("layouts");
    QTest::addColumn<QString>("latin");
    QTest::addColumn<QString>("native");

    QTest::newRow("us,ru") << usRu << QStringList { "English (US)", "Russian" } << "English (US)" << "Russian";
    QTest::newRow("system order, first of each kind")
        << Sources { { "ru", "Russian" }, { "ua", "Ukrainian" }, { "us", "English (US)" }, { "gb", "English (UK)" } }
        << QStringList { "Russian", "Ukrainian", "English (US)", "English (UK)" } << "English (US)" << "Russian";
    QTest::newRow("no Latin source") << Sources { { "ru", "Russian" } } << QStringList { "Russian" } << "ABC"
                                     << "Russian";
    QTest::newRow("no local source") << Sources { { "us", "English (US)" } } << QStringList { "English (US)" }
                                     << "English (US)" << "Русская — ПК";
    QTest::newRow("no source at all") << Sources {} << QStringList { "ABC", "U.S.", "Русская — ПК", "Russian" }
                                      << "ABC" << "Русская — ПК";
}

void TestLayoutSettingsModel::detectTakesTheSystemOrderAndSavesLatinFirst()
{
    QFETCH(Sources, sources);
    QFETCH(QStringList, layouts);
    QFETCH(QString, latin);
    QFETCH(QString, native);
    LayoutRig rig(sources, [](MendoSettings& s) {
        s.layoutLatinSource = QStringLiteral("old latin");
        s.layoutNativeSource = QStringLiteral("old local");
    });
    rig.model->appear();
    rig.model->detect();
    QCOMPARE(rig.model->layouts(), layouts);
    QCOMPARE(rig.saves.size(), 2);
    QCOMPARE(rig.saves[0].layoutLatinSource, latin);
    QCOMPARE(rig.saves[0].layoutNativeSource, QStringLiteral("old local"));
    QCOMPARE(rig.saves[1].layoutLatinSource, latin);
    QCOMPARE(rig.saves[1].layoutNativeSource, native);
    QCOMPARE(rig.store.load().layoutNativeSource, native);
}

void TestLayoutSettingsModel::addMakesOrRefreshesTheRule_data()
{
    QTest::addColumn<QList<AppLayoutRule>>("before");
    // The index of the current input source; -1 for none.
    QTest::addColumn<int>("current");
    // A rule with a null id stands for the new one, whose id is fresh.
    QTest::addColumn<QList<AppLayoutRule>>("after");
    QTest::addColumn<QStringList>("layouts");

    const AppLayoutRule chosen { {}, QStringLiteral("org.example.Editor"), QStringLiteral("Editor"),
        QStringLiteral("/new/org.example.Editor.desktop"), QStringLiteral("Russian"), true };
    const QList<AppLayoutRule> others { rule(terminalRule, "Terminal", "English (US)"),
        rule(browserRule, "Browser", "Russian", false) };
    const QStringList shown { "English (US)", "Russian", "Русская — ПК" };

    QTest::newRow("new rule, layout of the current source")
        << others << 1 << (others + QList<AppLayoutRule> { chosen }) << shown;
    AppLayoutRule latinLayout = chosen;
    latinLayout.layoutName = QStringLiteral("English (US)");
    QTest::newRow("new rule without a current source: the Latin setting")
        << others << -1 << (others + QList<AppLayoutRule> { latinLayout }) << shown;
    AppLayoutRule german = chosen;
    german.layoutName = QStringLiteral("German");
    QTest::newRow("a layout the pickers lack is added, sorted")
        << others << 2 << (others + QList<AppLayoutRule> { german })
        << QStringList { "English (US)", "German", "Russian", "Русская — ПК" };

    const AppLayoutRule old { editorRule, QStringLiteral("org.example.Editor"), QStringLiteral("Old Editor"),
        QStringLiteral("/old/editor.desktop"), QStringLiteral("German"), false };
    AppLayoutRule refreshed = old;
    refreshed.appName = chosen.appName;
    refreshed.appPath = chosen.appPath;
    refreshed.isEnabled = true;
    QTest::newRow("same id again: refreshed, keeps its id and layout")
        << QList<AppLayoutRule> { others[0], old, others[1] } << 1
        << QList<AppLayoutRule> { others[0], refreshed, others[1] } << shown;
}

void TestLayoutSettingsModel::addMakesOrRefreshesTheRule()
{
    QFETCH(QList<AppLayoutRule>, before);
    QFETCH(int, current);
    QFETCH(QList<AppLayoutRule>, after);
    QFETCH(QStringList, layouts);
    LayoutRig rig(usRu + Sources { { "de", "German" } }, [&](MendoSettings& s) {
        s.layoutLatinSource = QStringLiteral("English (US)");
        s.layoutNativeSource = QStringLiteral("Русская — ПК");
        s.appLayoutSwitchingEnabled = false;
        s.appLayoutRules = before;
    });
    rig.inputSources.currentIndex = current;
    // The pickers offer the stored names, not the German one.
    rig.inputSources.list.removeLast();
    rig.model->appear();
    rig.inputSources.add(QStringLiteral("de"), QStringLiteral("German"));
    rig.chooser.answers << ApplicationChoice { QStringLiteral("org.example.Editor"), QStringLiteral("Editor"),
        QStringLiteral("/new/org.example.Editor.desktop"), QStringLiteral("editor") };

    QVERIFY(rig.model->addApplication());
    const QList<AppLayoutRule> rules = rig.settings().appLayoutRules;
    QCOMPARE(rules.size(), after.size());
    for (qsizetype i = 0; i < rules.size(); ++i) {
        AppLayoutRule expected = after[i];
        if (expected.id.isNull()) {
            QVERIFY(!rules[i].id.isNull());
            QVERIFY(std::none_of(
                before.begin(), before.end(), [&](const AppLayoutRule& r) { return r.id == rules[i].id; }));
            expected.id = rules[i].id;
        }
        QCOMPARE(rules[i], expected);
    }
    // The rule is saved first, then the master switch is forced on.
    QCOMPARE(rig.saves.size(), 2);
    QCOMPARE(rig.saves[0].appLayoutRules, rules);
    QVERIFY(!rig.saves[0].appLayoutSwitchingEnabled);
    QVERIFY(rig.saves[1].appLayoutSwitchingEnabled);
    QCOMPARE(rig.model->layouts(), layouts);
}

void TestLayoutSettingsModel::cancelChangesNothing()
{
    const QList<AppLayoutRule> rules { rule(editorRule, "Editor", "Russian") };
    LayoutRig rig(usRu, [&](MendoSettings& s) { s.appLayoutRules = rules; });
    rig.inputSources.currentIndex = 1;
    rig.model->appear();
    const QStringList layouts = rig.model->layouts();
    rig.chooser.answers << std::nullopt << ApplicationChoice {};
    QVERIFY(!rig.model->addApplication());
    // A choice without an id cannot name any window.
    QVERIFY(!rig.model->addApplication());
    QCOMPARE(rig.chooser.asked, 2);
    QVERIFY(rig.saves.isEmpty());
    QCOMPARE(rig.settings().appLayoutRules, rules);
    QVERIFY(!rig.settings().appLayoutSwitchingEnabled);
    QCOMPARE(rig.model->layouts(), layouts);
}

void TestLayoutSettingsModel::ruleBindingsWriteOnlyTheirOwnField()
{
    const QList<AppLayoutRule> rules { rule(editorRule, "Editor", "Russian"),
        rule(terminalRule, "Terminal", "English (US)"), rule(browserRule, "Browser", "Russian") };
    LayoutRig rig(usRu, [&](MendoSettings& s) { s.appLayoutRules = rules; });

    auto layout = rig.model->ruleBinding(terminalRule, &AppLayoutRule::layoutName, QStringLiteral("fallback"));
    auto enabled = rig.model->ruleBinding(browserRule, &AppLayoutRule::isEnabled, true);
    QCOMPARE(layout.get(), QStringLiteral("English (US)"));
    layout.set(QStringLiteral("Russian"));
    enabled.set(false);
    QList<AppLayoutRule> expected = rules;
    expected[1].layoutName = QStringLiteral("Russian");
    expected[2].isEnabled = false;
    QCOMPARE(rig.settings().appLayoutRules, expected);
    QCOMPARE(rig.saves.size(), 2);
    QCOMPARE(rig.store.load().appLayoutRules, expected);
    QVERIFY(!enabled.get());

    // A rule that is gone: the row's own values, and writes change nothing.
    const QUuid gone = QUuid::createUuid();
    auto goneLayout = rig.model->ruleBinding(gone, &AppLayoutRule::layoutName, QStringLiteral("German"));
    auto goneEnabled = rig.model->ruleBinding(gone, &AppLayoutRule::isEnabled, false);
    QCOMPARE(goneLayout.get(), QStringLiteral("German"));
    QCOMPARE(goneEnabled.get(), false);
    goneLayout.set(QStringLiteral("English (US)"));
    goneEnabled.set(true);
    QCOMPARE(rig.saves.size(), 2);
    QCOMPARE(rig.settings().appLayoutRules, expected);
}

void TestLayoutSettingsModel::removalKeepsTheOrderOfTheOthers()
{
    // Two rules may share an id in a hand-edited profile: both go.
    AppLayoutRule twin = rule(terminalRule, "Twin", "German");
    const QList<AppLayoutRule> rules { rule(editorRule, "Editor", "Russian"),
        rule(terminalRule, "Terminal", "English (US)"), rule(browserRule, "Browser", "Russian"), twin };
    LayoutRig rig(usRu, [&](MendoSettings& s) { s.appLayoutRules = rules; });
    rig.model->removeRule(terminalRule);
    QCOMPARE(rig.settings().appLayoutRules, (QList<AppLayoutRule> { rules[0], rules[2] }));
    QCOMPARE(rig.saves.size(), 1);
    rig.model->removeRule(terminalRule);
    rig.model->removeRule(QUuid::createUuid());
    QCOMPARE(rig.saves.size(), 1);
    rig.model->removeRule(editorRule);
    QCOMPARE(rig.store.load().appLayoutRules, (QList<AppLayoutRule> { rules[2] }));
}

QTEST_GUILESS_MAIN(TestLayoutSettingsModel)
#include "test_layout_settings_model.moc"
