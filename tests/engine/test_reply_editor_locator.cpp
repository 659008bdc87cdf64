#include "engine/ReplyEditorLocator.h"
#include "fakes/FakeAccessibility.h"

#include <QtTest>

using namespace mendo;

namespace {
const QString textField = ax::TextFieldRole;
const QString textArea = ax::TextAreaRole;

// A browser-like window: a toolbar with an address field, and a page.
struct Browser {
    FakeAccessibility ax;
    FakeAXNodePtr app = ax.addApplication(42);
    FakeAXNodePtr window = ax.addChild(app, ax::WindowRole, QStringLiteral("window"));
    FakeAXNodePtr toolbar = ax.addChild(window, ax::ToolbarRole, QStringLiteral("toolbar"));
    FakeAXNodePtr address = ax.addTextField(
        toolbar, textField, QStringLiteral("address"), { 0, 0, 800, 30 }, QStringLiteral("https://x"));
    FakeAXNodePtr page = ax.addChild(window, ax::WebAreaRole, QStringLiteral("page"));

    Browser()
    {
        // Chromium marks every element, browser chrome included.
        for (const auto& node : { window, toolbar, address, page })
            node->extraNames << QString(ax::ChromeNodeId);
        ax.setFocused(address);
    }
    FakeAXNodePtr addPageField(const QString& role, const QString& name, const QRectF& frame, const QString& value = {})
    {
        auto field = ax.addTextField(page, role, name, frame, value);
        field->extraNames << QString(ax::ChromeNodeId);
        return field;
    }
    QString focusedName() { return ax.application(42)->focused ? ax.application(42)->focused->name : QString(); }
};

QString nameOf(const AXElement& element)
{
    const auto* node = dynamic_cast<const FakeAXNode*>(element.get());
    return node ? node->name : QStringLiteral("<none>");
}

// A chain root -> n0 -> n1 ... -> n(depth-1); returns the deepest.
FakeAXNodePtr chain(FakeAccessibility& ax, const FakeAXNodePtr& root, int depth)
{
    FakeAXNodePtr node = root;
    for (int i = 0; i < depth; ++i)
        node = ax.addChild(node, ax::GroupRole, QStringLiteral("n%1").arg(i));
    return node;
}
}  // namespace

class TestReplyEditorLocator : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pageFieldWinsOverFocusedAddressBar()
    {
        Browser b;
        b.addPageField(textField, QStringLiteral("message"), { 0, 500, 600, 40 });
        ReplyEditorLocator locator(b.ax);
        QCOMPARE(nameOf(locator.focusReplyEditor(b.app, b.window)), QStringLiteral("message"));
        QCOMPARE(b.focusedName(), QStringLiteral("message"));
    }

    void addressBarOnlyWhenNoPageFieldTakesFocus()
    {
        Browser b;
        auto message = b.addPageField(textField, QStringLiteral("message"), { 0, 500, 600, 40 });
        message->takesFocus = false;
        ReplyEditorLocator locator(b.ax);
        QCOMPARE(nameOf(locator.focusReplyEditor(b.app, b.window)), QStringLiteral("address"));
    }

    void webCandidateChoice_data()
    {
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("secondFocused");
        QTest::addColumn<bool>("equalFields");
        QTest::newRow("empty area at the bottom beats a filled field above") << "area" << false << false;
        QTest::newRow("a focused candidate wins over the score") << "field" << true << false;
        QTest::newRow("equal scores: the first found") << "field" << false << true;
    }
    void webCandidateChoice()
    {
        QFETCH(QString, expected);
        QFETCH(bool, secondFocused);
        QFETCH(bool, equalFields);
        Browser b;
        b.ax.setFocused(b.app);  // nothing editable has the focus
        auto field = b.addPageField(
            textField, QStringLiteral("field"), { 0, 200, 600, 30 }, equalFields ? QString() : QStringLiteral("typed"));
        if (equalFields)
            b.addPageField(textField, QStringLiteral("twin"), { 0, 200, 600, 30 });
        else
            b.addPageField(textArea, QStringLiteral("area"), { 0, 700, 600, 80 });
        if (secondFocused)
            b.ax.setFocused(field);
        ReplyEditorLocator locator(b.ax);
        QCOMPARE(nameOf(locator.focusReplyEditor(b.app, b.window)), expected);
    }

    void frameAndSizeFilter()
    {
        FakeAccessibility ax;
        auto app = ax.addApplication(7);
        auto window = ax.addChild(app, ax::WindowRole);
        ax.addTextField(window, textField, QStringLiteral("narrow"), { 0, 900, 39, 30 });
        ax.addTextField(window, textField, QStringLiteral("flat"), { 0, 900, 300, 13 });
        ax.addTextField(window, textField, QStringLiteral("smallest"), { 0, 0, 40, 14 });
        auto frameless = ax.addTextField(window, textField, QStringLiteral("frameless"), {});
        frameless->attributes.remove(ax::Position);
        ReplyEditorLocator locator(ax);

        QStringList names;
        for (const AXElement& element : locator.editableElements(window))
            names << nameOf(element);
        QCOMPARE(names, QStringList({ QStringLiteral("smallest"), QStringLiteral("frameless") }));
        QCOMPARE(locator.score(frameless), std::numeric_limits<double>::lowest());
        // The lowest score still beats having no candidate.
        ax.application(7)->focused = nullptr;
        QCOMPARE(nameOf(locator.focusReplyEditor(app, window)), QStringLiteral("smallest"));
    }

    void editableTest_data()
    {
        QTest::addColumn<QString>("role");
        QTest::addColumn<QStringList>("markers");  // attributes present with value true / names
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<bool>("focusSettable");
        QTest::addColumn<bool>("editable");
        const QStringList none;
        const QStringList editableGroup { ax::IsEditable, ax::SelectedText };
        QTest::newRow("text field") << QString(ax::TextFieldRole) << none << true << true << true;
        QTest::newRow("combo box") << QString(ax::ComboBoxRole) << none << true << true << true;
        QTest::newRow("disabled field") << QString(ax::TextFieldRole) << none << false << true << false;
        QTest::newRow("focus not settable") << QString(ax::TextAreaRole) << none << true << false << false;
        QTest::newRow("editable group") << QString(ax::GroupRole) << editableGroup << true << true << true;
        QTest::newRow("group inside an editable")
            << QString(ax::GenericElementRole) << QStringList { ax::HighestEditableAncestor, ax::SelectedText } << true
            << true << true;
        QTest::newRow("group without selected text")
            << QString(ax::GroupRole) << QStringList { ax::IsEditable } << true << true << false;
        QTest::newRow("plain group") << QString(ax::GroupRole) << QStringList { ax::SelectedText } << true << true
                                     << false;
        QTest::newRow("button") << QStringLiteral("AXButton") << none << true << true << false;
    }
    void editableTest()
    {
        QFETCH(QString, role);
        QFETCH(QStringList, markers);
        QFETCH(bool, enabled);
        QFETCH(bool, focusSettable);
        QFETCH(bool, editable);
        FakeAccessibility ax;
        auto node = ax.addChild(ax.addApplication(1), role);
        node->attributes.insert(ax::Enabled, enabled);
        if (focusSettable)
            node->settable.insert(ax::Focused);
        for (const QString& marker : markers)
            node->attributes.insert(marker, marker == ax::SelectedText ? AXValue(QString()) : AXValue(true));
        ReplyEditorLocator locator(ax);
        QCOMPARE(locator.isEditableElement(node, role), editable);
    }

    void webCandidateFailingFallsBackToFocusedNativeEditor()
    {
        // A chat app: a native message box has the focus; the embedded page's
        // field refuses the focus.
        FakeAccessibility ax;
        auto app = ax.addApplication(9);
        auto window = ax.addChild(app, ax::WindowRole);
        auto native = ax.addTextField(window, textArea, QStringLiteral("native"), { 0, 100, 300, 40 });
        auto inner = ax.addChild(native, QStringLiteral("AXStaticText"), QStringLiteral("inner"));
        auto page = ax.addChild(window, ax::WebAreaRole);
        auto pageField = ax.addTextField(page, textArea, QStringLiteral("pageField"), { 0, 900, 600, 80 });
        pageField->takesFocus = false;
        ax.setFocused(inner);
        ReplyEditorLocator locator(ax);
        QCOMPARE(nameOf(locator.focusReplyEditor(app, window)), QStringLiteral("native"));
        QVERIFY(ax.writes.contains(QStringLiteral("set AXFocused pageField")));
    }

    void focusUsesPressAndMatchesChromiumNodes()
    {
        Browser b;
        auto message = b.addPageField(textField, QStringLiteral("message"), { 0, 500, 600, 40 });
        ReplyEditorLocator locator(b.ax);

        // Setting the focus is taken but does nothing; pressing focuses.
        message->takesFocus = false;
        message->actions << QString(ax::Press);
        message->focusOnPress = true;
        QVERIFY(locator.focus(message, b.app));
        QVERIFY(b.ax.writes.contains(QStringLiteral("action AXPress message")));

        // Another handle of the same Chromium node counts as the same element.
        auto twin = b.ax.addChild(b.page, textField, QStringLiteral("twin"));
        message->attributes.insert(ax::ChromeNodeId, QStringLiteral("17"));
        twin->attributes.insert(ax::ChromeNodeId, QStringLiteral("17"));
        b.ax.setFocused(twin);
        QVERIFY(locator.isActuallyFocused(message, b.app));
        twin->attributes.insert(ax::ChromeNodeId, QStringLiteral("18"));
        QVERIFY(!locator.isActuallyFocused(message, b.app));
        // Without node ids: same role and same frame.
        twin->attributes.remove(ax::ChromeNodeId);
        twin->setFrame(0, 500, 600, 40);
        QVERIFY(locator.isActuallyFocused(message, b.app));
        twin->attributes.insert(ax::Role, QString(textArea));
        QVERIFY(!locator.isActuallyFocused(message, b.app));
    }

    void walkBounds()
    {
        FakeAccessibility ax;
        auto app = ax.addApplication(3);
        auto editor = ax.addTextField(app, textField, QStringLiteral("editor"), { 0, 0, 100, 20 });
        ReplyEditorLocator locator(ax);
        // The start and 15 ancestors are tested, not more.
        QCOMPARE(nameOf(locator.editableAncestor(chain(ax, editor, 15))), QStringLiteral("editor"));
        QVERIFY(!locator.editableAncestor(chain(ax, editor, 16)));

        // Web content: 64 elements examined; a toolbar on the way ends it.
        auto web = ax.addChild(app, ax::WebAreaRole);
        QVERIFY(locator.isInsideWebContent(chain(ax, web, 63)));
        QVERIFY(!locator.isInsideWebContent(chain(ax, web, 64)));
        auto marked = ax.addChild(app, ax::GroupRole);
        marked->extraNames << QString(ax::ChromeNodeId);
        QVERIFY(locator.isInsideWebContent(chain(ax, marked, 10)));
        auto toolbar = ax.addChild(marked, ax::ToolbarRole);
        QVERIFY(!locator.isInsideWebContent(chain(ax, toolbar, 3)));
    }
};

QTEST_GUILESS_MAIN(TestReplyEditorLocator)
#include "test_reply_editor_locator.moc"
