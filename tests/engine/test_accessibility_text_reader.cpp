#include "engine/AccessibilityTextReader.h"
#include "engine/FocusService.h"
#include "fakes/FakeAccessibility.h"
#include "fakes/FakeWorkspace.h"

#include <QtTest>

using namespace mendo;

namespace {

const QString kEditorId = QStringLiteral("org.example.Editor");
const RunningApplication kFirstEditor { 100, kEditorId, 11 };
const RunningApplication kSecondEditor { 101, kEditorId, 12 };
const RunningApplication kOther { 200, QStringLiteral("org.example.Other"), 21 };

// Two instances of one editor, each with a focused field holding a
// selection; the user works in the second one.
struct Rig {
    FakeAccessibility ax;
    FakeWorkspace workspace;
    FocusService focus { workspace, ax };
    AccessibilityTextReader reader { ax, workspace, focus };
    FakeAXNodePtr firstField = field(100, QStringLiteral("first"), QStringLiteral("one two"), QStringLiteral("two"));
    FakeAXNodePtr secondField
        = field(101, QStringLiteral("second"), QStringLiteral("ghbdtn world"), QStringLiteral("ghbdtn"));

    explicit Rig(bool remember = true)
    {
        workspace.applications = { kFirstEditor, kSecondEditor, kOther };
        if (remember)
            workspace.bringToFront(kSecondEditor);
    }

    FakeAXNodePtr field(qint32 pid, const QString& name, const QString& value, const QString& selection)
    {
        auto window = ax.addChild(ax.addApplication(pid), ax::WindowRole);
        auto node = ax.addTextField(window, ax::TextFieldRole, name, { 0, 0, 300, 30 }, value);
        node->attributes.insert(ax::SelectedText, selection);
        ax.setFocused(node);
        return node;
    }
};

QString valueOf(const FakeAXNodePtr& node)
{
    return std::get<QString>(node->attributes.value(ax::Value));
}

}  // namespace

class TestAccessibilityTextReader : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void nothingRememberedReadsNothing()
    {
        Rig rig(false);
        QCOMPARE(rig.reader.selectedText(), QString());
        QCOMPARE(rig.reader.selectedTextForLayout(), QString());
        QVERIFY(!rig.reader.focusedText().selectedText && !rig.reader.focusedText().value);
        QVERIFY(!rig.reader.replaceSelectedText(QStringLiteral("x")));
        QVERIFY(rig.ax.writes.isEmpty());
    }

    void layoutFixReadsAndWritesTheSameInstance()
    {
        Rig rig;
        // The general read goes by application id: the first instance.
        QCOMPARE(rig.reader.selectedText(), QStringLiteral("two"));
        // The layout fix reads the remembered process and writes right there,
        // never into the other instance.
        QCOMPARE(rig.reader.selectedTextForLayout(), QStringLiteral("ghbdtn"));
        QVERIFY(rig.reader.replaceSelectedText(QStringLiteral("привет")));
        QCOMPARE(valueOf(rig.secondField), QStringLiteral("привет world"));
        QCOMPARE(valueOf(rig.firstField), QStringLiteral("one two"));
    }

    void processOfAnotherApplicationIsNotTheTarget()
    {
        Rig rig;
        // The editor quit and its pid now runs something else.
        const RunningApplication stranger{ 101, QStringLiteral("org.example.Stranger"), 13 };
        rig.workspace.applications = { kFirstEditor, stranger };
        rig.workspace.front = stranger;
        QCOMPARE(rig.reader.selectedTextForLayout(), QString());
        QVERIFY(!rig.reader.replaceSelectedText(QStringLiteral("x")));
        QVERIFY(rig.ax.writes.isEmpty());
    }

    void focusedText_data()
    {
        QTest::addColumn<bool>("reportsSelection");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<QString>("expectedSelection");  // "-" for absent
        QTest::addColumn<QString>("expectedValue");
        QTest::newRow("selection") << true << "two"
                                   << "two"
                                   << "-";
        QTest::newRow("empty selection hides the value") << true << ""
                                                         << ""
                                                         << "-";
        QTest::newRow("no selection reported: the value") << false << ""
                                                          << "-"
                                                          << "one two";
    }
    void focusedText()
    {
        QFETCH(bool, reportsSelection);
        QFETCH(QString, selection);
        QFETCH(QString, expectedSelection);
        QFETCH(QString, expectedValue);
        Rig rig;
        rig.workspace.bringToFront(kFirstEditor);
        rig.firstField->attributes.insert(ax::SelectedText, selection);
        if (!reportsSelection)
            rig.firstField->attributes.remove(ax::SelectedText);
        const FocusedText read = rig.reader.focusedText();
        QCOMPARE(read.selectedText.value_or(QStringLiteral("-")), expectedSelection);
        QCOMPARE(read.value.value_or(QStringLiteral("-")), expectedValue);
    }

    void webContentAndReadOnlyAreLeftAlone_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<bool>("handled");
        QTest::newRow("chromium element") << "chrome" << false;
        QTest::newRow("web area 31 levels up") << "web31" << false;
        QTest::newRow("web area 32 levels up is out of reach") << "web32" << true;
        QTest::newRow("read-only selection") << "readonly" << false;
    }
    void webContentAndReadOnlyAreLeftAlone()
    {
        QFETCH(QString, setup);
        QFETCH(bool, handled);
        FakeAccessibility ax;
        FakeWorkspace workspace;
        workspace.applications = { kFirstEditor };
        FocusService focus(workspace, ax);
        AccessibilityTextReader reader(ax, workspace, focus);
        FakeAXNodePtr node = ax.addChild(ax.addApplication(100), ax::WindowRole);
        if (setup.startsWith(QLatin1String("web"))) {
            node = ax.addChild(node, ax::WebAreaRole);
            for (int i = 1; i < setup.mid(3).toInt(); ++i)
                node = ax.addChild(node, ax::GroupRole);
        }
        node = ax.addTextField(
            node, ax::TextFieldRole, QStringLiteral("field"), { 0, 0, 100, 20 }, QStringLiteral("ab"));
        node->attributes.insert(ax::SelectedText, QStringLiteral("b"));
        if (setup == QLatin1String("chrome"))
            node->extraNames << QString(ax::ChromeNodeId);
        if (setup == QLatin1String("readonly"))
            node->settable.remove(ax::SelectedText);
        ax.setFocused(node);
        workspace.bringToFront(kFirstEditor);

        const bool readable = handled || setup == QLatin1String("readonly");
        QCOMPARE(reader.selectedTextForLayout(), readable ? QStringLiteral("b") : QString());
        QCOMPARE(reader.replaceSelectedText(QStringLiteral("c")), handled);
        QCOMPARE(valueOf(node), handled ? QStringLiteral("ac") : QStringLiteral("ab"));
    }
};

QTEST_GUILESS_MAIN(TestAccessibilityTextReader)
#include "test_accessibility_text_reader.moc"
