// Other applications' text through AT-SPI, against a Qt and a GTK field: the
// focused element found by the active window's process, its selection read
// and replaced in place, the reply editor found and focused, and a reply
// pasted with real keystrokes and confirmed by the field's change.

#include "platform/atspi/AtspiPermissions.h"
#include "support/AtspiTextRoad.h"
#include "support/X11TestApps.h"

#include <qcoro/qcorotask.h>

using namespace mendo;
using namespace mendo::testing;

namespace {

using Desk = AtspiTextRoad;

std::unique_ptr<OtherApp> startTarget(const QString& kind)
{
    if (kind == QLatin1String("qt"))
        return startTargetApp(QStringLiteral("hello world"));
    return std::make_unique<OtherApp>(QStringLiteral("zenity"),
        QStringList { QStringLiteral("--entry"), QStringLiteral("--entry-text=hello world") });
}

void xdotoolKeys(const QStringList& keys)
{
    runTool(
        QStringLiteral("xdotool"), QStringList { QStringLiteral("key"), QStringLiteral("--clearmodifiers") } + keys);
}

}  // namespace

class TestAtspiAccessibility : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        AtspiPermissions permissions;
        QVERIFY(permissions.requestAccessibility());
        QVERIFY(permissions.accessibilityGranted());
    }

    void readReplaceFocusAndPaste_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("Qt line edit") << "qt";
        QTest::newRow("GTK entry") << "gtk";
    }
    void readReplaceFocusAndPaste()
    {
        QFETCH(QString, kind);
        Desk desk;
        QVERIFY(desk.ax.isAvailable());
        auto target = startTarget(kind);
        QVERIFY(waitUntilFrontmost(desk.workspace, target->pid(), 15000));
        QTRY_COMPARE_WITH_TIMEOUT(desk.focus.rememberedProcessIdentifier(), std::optional<qint32>(target->pid()), 5000);

        // The focused field of the active window's process.
        AXElement field;
        QTRY_VERIFY_WITH_TIMEOUT((field = desk.reader.focusedElement()), 15000);
        Accessibility& ax = desk.ax;
        QCOMPARE(ax.stringAttribute(field, ax::Role), QString(ax::TextFieldRole));
        QCOMPARE(ax.stringAttribute(field, ax::Value), QStringLiteral("hello world"));
        QCOMPARE(ax.numberAttribute(field, ax::NumberOfCharacters), 11.0);
        QVERIFY(ax.frameAttribute(field));
        QVERIFY(!desk.reader.requiresPasteFallback(field));

        // The user selects the last word; it is read and replaced in place.
        xdotoolKeys({ QStringLiteral("End"), QStringLiteral("ctrl+shift+Left") });
        QTRY_COMPARE_WITH_TIMEOUT(desk.reader.selectedText(), QStringLiteral("world"), 5000);
        QCOMPARE(desk.reader.selectedTextForLayout(), QStringLiteral("world"));
        QVERIFY(desk.service.replaceSelectedTextViaAccessibility(QStringLiteral("there")));
        QTRY_COMPARE_WITH_TIMEOUT(ax.stringAttribute(field, ax::Value), std::optional<QString>("hello there"), 5000);

        // The focus moves on (to the dialog's button, where there is one);
        // the editor is found and focused again without selecting the draft.
        xdotoolKeys({ QStringLiteral("Tab") });
        QTRY_VERIFY_WITH_TIMEOUT(desk.focus.focusAIReplyEditor(target->pid()), 2000);
        QVERIFY(ax.isSameElement(desk.focus.replyEditor(), field));

        // A reply pasted with Control+V and confirmed by the field's change.
        QCoro::waitFor(desk.service.pasteAIReply(QStringLiteral("!"), target->pid()));
        QCOMPARE(ax.stringAttribute(field, ax::Value).value_or(QStringLiteral("-")), QStringLiteral("hello there!"));
        QVERIFY(!desk.focus.replyEditor());
    }
};

QTEST_MAIN(TestAtspiAccessibility)
#include "test_atspi_accessibility.moc"
