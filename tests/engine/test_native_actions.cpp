#include "ServiceFixture.h"

#include "engine/MendoCore.h"

#include <QTest>

using namespace mendo;
using Answer = MockAiService::Answer;

class TestNativeActions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void picksTheServiceActionPerStyle_data();
    void picksTheServiceActionPerStyle();
    void rejectsActionsItDoesNotRun_data();
    void rejectsActionsItDoesNotRun();
    void translationMayBeAskedTwice();
};

namespace {

const QList<PromptStyle> userStyles {
    { QStringLiteral("custom-1234abcd"), QStringLiteral(" Pirate talk \n"), QStringLiteral("Arr"),
        QStringLiteral("Not assigned"), true },
    { QStringLiteral("polite"), QStringLiteral("Polite"), QStringLiteral(" Thank them twice \n"),
        QStringLiteral("Not assigned"), false },
};

struct CoreFixture : ServiceFixture {
    MendoCore core { mock.aiURL(), credentials, network, clock, languages };
};

}  // namespace

void TestNativeActions::picksTheServiceActionPerStyle_data()
{
    QTest::addColumn<QString>("actionId");
    QTest::addColumn<QString>("word");
    QTest::addColumn<QString>("writingStyle");
    // A shipped prompt is named by its style word alone; what the user wrote is sent, trimmed.
    QTest::addColumn<QString>("instruction");
    QTest::newRow("translate") << "translate" << "translate" << "" << "";
    QTest::newRow("translate style") << "style:translate" << "translate" << "" << "";
    QTest::newRow("original fixes") << "style:original" << "fix" << "" << "";
    QTest::newRow("emoji") << "style:emoji" << "emoji" << "Emoji" << "";
    QTest::newRow("built-in rewrite") << "style:friendly" << "style_rewrite" << "Friendly" << "";
    QTest::newRow("edited built-in") << "style:polite" << "style_rewrite" << "Polite" << "Thank them twice";
    QTest::newRow("user style") << "style:custom-1234abcd" << "style_rewrite" << "Pirate talk" << "Arr";
}

void TestNativeActions::picksTheServiceActionPerStyle()
{
    QFETCH(QString, actionId);
    QFETCH(QString, word);
    QFETCH(QString, writingStyle);
    QFETCH(QString, instruction);

    CoreFixture f;
    f.mock.enqueue(Answer::result("Done"));
    QCOMPARE(resultOf(finish(f.core.actions().run({ actionId }, " Hallo Welt ", "English", userStyles))),
        QStringLiteral("Done"));
    const QJsonObject body = f.body(0);
    QCOMPARE(body.value("action").toString(), word);
    QCOMPARE(body.value("task").toString(), word);
    QCOMPARE(body.value("writingStyle").toString(), writingStyle);
    QCOMPARE(body.value("text").toString(), QStringLiteral("Hallo Welt"));
    QCOMPARE(body.value("targetLanguage").toString(), QStringLiteral("English"));
    QCOMPARE(body.value("userInstruction").toString(), instruction);
    QCOMPARE(body.value("keyboardLanguage").toString(), QString());
    QCOMPARE(body.value("assistantKeepContext"), QJsonValue(false));
    QVERIFY(!body.contains("forceRewrite"));
}

void TestNativeActions::rejectsActionsItDoesNotRun_data()
{
    QTest::addColumn<QString>("actionId");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("ending");
    QTest::newRow("assistant") << "ai"
                               << "text"
                               << "AI assistant";
    QTest::newRow("clipboard") << "clipboard"
                               << "text"
                               << "Clipboard window";
    QTest::newRow("layout") << "layout"
                            << "text"
                            << "Keyboard layout fix";
    QTest::newRow("deleted user style") << "style:custom-deadbeef"
                                        << "text"
                                        << "Style style:custom-deadbeef";
    QTest::newRow("not normalised") << "fix"
                                    << "text"
                                    << "Style fix";
    QTest::newRow("empty style id") << "style:"
                                    << "text"
                                    << "Style style:";
    QTest::newRow("blank input") << "style:friendly"
                                 << " \n "
                                 << "No text to process.";
}

void TestNativeActions::rejectsActionsItDoesNotRun()
{
    QFETCH(QString, actionId);
    QFETCH(QString, input);
    QFETCH(QString, ending);
    CoreFixture f;
    const auto outcome = finish(f.core.actions().run({ actionId }, input, "English", userStyles));
    QVERIFY2(!outcome.ok() && outcome.error.endsWith(ending), qPrintable(outcome.error));
    QCOMPARE(f.mock.requests().size(), 0);
}

void TestNativeActions::translationMayBeAskedTwice()
{
    CoreFixture f;
    f.mock.enqueue({ Answer::result("guten tag"), Answer::result("Good day") });
    QCOMPARE(resultOf(finish(f.core.actions().run({ "translate" }, "Guten Tag", "English", {}))),
        QStringLiteral("Good day"));
    QCOMPARE(f.mock.requests().size(), 2);
}

QTEST_GUILESS_MAIN(TestNativeActions)
#include "test_native_actions.moc"
