#include "model/MendoPromptLibrary.h"
#include "model/QuickAction.h"

#include <QTest>

using namespace mendo;

class TestPromptLibrary : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void builtInTable();
    void mergeKeepsCurrentEditsAndOrder();
    void mergeReplacesOutdatedPrompts_data();
    void mergeReplacesOutdatedPrompts();
    void mergeEmojiHotkey();
    void mergeDuplicateIdsFirstWins();
    void lookup();
    void backendActions_data();
    void backendActions();
    void titles();
    void jsonCoding();
};

static PromptStyle builtIn(const QString& id)
{
    return *MendoPromptLibrary::style(id, {});
}

static QStringList ids(const QList<PromptStyle>& styles)
{
    QStringList result;
    for (const auto& s : styles)
        result << s.id;
    return result;
}

static const QStringList kBuiltInIds = QString("original friendly emoji polite professional short detailed humor "
                                               "flirt romantic sexy formal casual support expert social translate")
                                           .split(' ');

void TestPromptLibrary::builtInTable()
{
    const auto& styles = MendoPromptLibrary::defaultStyles();
    QCOMPARE(ids(styles), kBuiltInIds);
    for (const auto& s : styles)
        QVERIFY(s.autoReplace);
    // The two multi-paragraph prompts keep their empty lines.
    QVERIFY(builtIn("original").prompt.startsWith("You are Mendo Proofreader.\n\nCorrect only spelling"));
    QVERIFY(builtIn("emoji").prompt.contains("formatting.\n\nYou must add at least one relevant emoji"));
    QCOMPARE(builtIn("translate").prompt,
        QString::fromUtf8(
            "Переведи текст на выбранный язык. Сохрани смысл, тон и форматирование. Верни только перевод."));
    QCOMPARE(builtIn("short").hotkey, QStringLiteral("Not assigned"));
    QCOMPARE(builtIn("translate").hotkey, QStringLiteral("Alt+T"));
    QCOMPARE(MendoPromptLibrary::languages().size(), 100);
    QCOMPARE(MendoPromptLibrary::languages().at(24), QStringLiteral("Chinese (Simplified)"));
    QCOMPARE(MendoPromptLibrary::languages().last(), QStringLiteral("Odia"));
}

void TestPromptLibrary::mergeKeepsCurrentEditsAndOrder()
{
    const PromptStyle user1 { "custom-0000000a", "Mine", "Do it my way", "Alt+9", false };
    const PromptStyle user2 { "custom-0000000b", "Other", "p", "Not assigned", true };
    const PromptStyle editedPolite { "polite", "", "Be kind.", "", false };
    const auto merged = MendoPromptLibrary::mergeSavedStyles({ user1, editedPolite, user2, user2 });

    QCOMPARE(ids(merged), kBuiltInIds + QStringList({ user1.id, user2.id, user2.id }));
    const PromptStyle& polite = merged.at(3);
    QCOMPARE(polite.name, builtIn("polite").name);  // empty falls back
    QCOMPARE(polite.prompt, QStringLiteral("Be kind."));
    QCOMPARE(polite.hotkey, QStringLiteral("Alt+3"));
    QCOMPARE(polite.autoReplace, false);
    QCOMPARE(merged.at(0), builtIn("original"));
    QCOMPARE(merged.at(17), user1);
}

void TestPromptLibrary::mergeReplacesOutdatedPrompts_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<bool>("outdated");
    QTest::newRow("friendly marker") << "friendly"
                                     << "Rewrite clearly in a warm, friendly tone please" << true;
    QTest::newRow("original old opening") << "original"
                                          << "Fix obvious typos and nothing else" << true;
    QTest::newRow("original words later") << "original"
                                          << "Please Fix obvious typos" << false;
    QTest::newRow("original lower case") << "original"
                                         << "fix obvious typos" << false;
    QTest::newRow("emoji phrase inside") << "emoji"
                                         << "Keep tone. Add appropriate emojis where fitting." << true;
    QTest::newRow("emoji opening") << "emoji"
                                   << "Only insert fitting emojis here" << true;
    QTest::newRow("other style's marker") << "polite"
                                          << "Rewrite clearly in a warm, friendly way" << false;
    QTest::newRow("translate has no marker") << "translate"
                                             << "Rewrite clearly for social media" << false;
}

void TestPromptLibrary::mergeReplacesOutdatedPrompts()
{
    QFETCH(QString, id);
    QFETCH(QString, prompt);
    QFETCH(bool, outdated);
    const PromptStyle saved { id, "Saved name", prompt, "Alt+8", false };
    const auto merged = *MendoPromptLibrary::style(id, MendoPromptLibrary::mergeSavedStyles({ saved }));
    QCOMPARE(merged.prompt, outdated ? builtIn(id).prompt : prompt);
    QCOMPARE(merged.name, outdated ? builtIn(id).name : QStringLiteral("Saved name"));
    QCOMPARE(merged.autoReplace, false);
    if (id != "emoji")
        QCOMPARE(merged.hotkey, QStringLiteral("Alt+8"));
}

void TestPromptLibrary::mergeEmojiHotkey()
{
    const PromptStyle saved { "emoji", "E", "Current prompt", "Control+Shift+E", true };
    QCOMPARE(MendoPromptLibrary::mergeSavedStyles({ saved }).at(2).hotkey, QStringLiteral("Alt+E"));
    QCOMPARE(MendoPromptLibrary::mergeSavedStyles({ saved }, false).at(2).hotkey, QStringLiteral("Control+Shift+E"));
}

void TestPromptLibrary::mergeDuplicateIdsFirstWins()
{
    const PromptStyle first { "friendly", "First", "one", "Alt+7", true };
    const PromptStyle second { "friendly", "Second", "two", "Alt+8", true };
    const auto merged = MendoPromptLibrary::mergeSavedStyles({ first, second });
    QCOMPARE(merged.size(), 17);
    QCOMPARE(merged.at(1).name, QStringLiteral("First"));
}

void TestPromptLibrary::lookup()
{
    QCOMPARE(MendoPromptLibrary::style("friendly", {})->prompt, builtIn("friendly").prompt);
    const PromptStyle edited { "friendly", "F", "edited", "Alt+2", true };
    QCOMPARE(*MendoPromptLibrary::style("friendly", { edited }), edited);
    QVERIFY(!MendoPromptLibrary::style("custom-12345678", { edited }));
}

void TestPromptLibrary::backendActions_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("style");
    QTest::addColumn<BackendAction>("expected");
    QTest::newRow("translate action wins") << "translate"
                                           << "original" << BackendAction::translate;
    QTest::newRow("style:translate") << "style:translate"
                                     << "friendly" << BackendAction::translate;
    QTest::newRow("translate style") << "style:friendly"
                                     << "translate" << BackendAction::translate;
    QTest::newRow("emoji") << "style:emoji"
                           << "emoji" << BackendAction::emoji;
    QTest::newRow("fix") << "style:original"
                         << "original" << BackendAction::fix;
    QTest::newRow("built-in rewrite") << "style:polite"
                                      << "polite" << BackendAction::improve;
    QTest::newRow("user style") << "style:custom-00ff00aa"
                                << "custom-00ff00aa" << BackendAction::improve;
}

void TestPromptLibrary::backendActions()
{
    QFETCH(QString, action);
    QFETCH(QString, style);
    QFETCH(BackendAction, expected);
    QCOMPARE(
        MendoPromptLibrary::backendAction(QuickAction { action }, PromptStyle { style, "", "", "", true }), expected);
}

void TestPromptLibrary::titles()
{
    QCOMPARE(MendoPromptLibrary::builtInTitle("original")->text(UiLanguage::ru), QString::fromUtf8("Исправить"));
    QCOMPARE(MendoPromptLibrary::builtInTitle("social")->text(UiLanguage::ru), QString::fromUtf8("Соцсети"));
    QCOMPARE(MendoPromptLibrary::builtInTitle("emoji")->text(UiLanguage::en), QStringLiteral("Emojis"));
    QVERIFY(!MendoPromptLibrary::builtInTitle("custom-00000000"));
}

void TestPromptLibrary::jsonCoding()
{
    const PromptStyle style { "custom-0a0b0c0d", "Name", "Prompt\nline", "Alt+9", false };
    QCOMPARE(PromptStyle::fromJson(style.toJson()), style);
    QJsonObject missing = style.toJson();
    missing.remove("autoReplace");
    QVERIFY(!PromptStyle::fromJson(missing));
    QJsonObject wrongType = style.toJson();
    wrongType["hotkey"] = 5;
    QVERIFY(!PromptStyle::fromJson(wrongType));
}

QTEST_GUILESS_MAIN(TestPromptLibrary)
#include "test_prompt_library.moc"
