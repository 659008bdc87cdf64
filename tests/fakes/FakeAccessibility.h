#pragma once

#include "fakes/EventLog.h"

#include "platform/Accessibility.h"
#include "platform/Permissions.h"

#include <QHash>
#include <QSet>
#include <functional>

namespace mendo {

// One element of a fake application's tree. Tests build trees with
// FakeAccessibility::addApplication / addChild and set attributes directly.
// "AXChildren" and "AXParent" come from the tree's shape; "AXFocused" and
// "AXFocusedUIElement" from the application's focused element. Everything
// else is whatever `attributes` holds.
class FakeAXNode final : public AccessibleObject, public std::enable_shared_from_this<FakeAXNode> {
public:
    QString name;  // for test messages only
    QHash<QString, AXValue> attributes;
    QSet<QString> settable;
    QStringList actions;
    // Attributes whose reads fail (as an unresponsive application would).
    QSet<QString> failingAttributes;
    bool failAttributeNames = false;
    // Whether setting "AXFocused" to true really moves the focus here (some
    // elements take the call but not the focus).
    bool takesFocus = true;
    // Whether "AXPress" moves the focus here.
    bool focusOnPress = false;
    // Extra attribute names, beyond those of `attributes` (markers such as
    // "ChromeAXNodeId" whose value does not matter).
    QStringList extraNames;

    FakeAXNode* parent = nullptr;
    QList<std::shared_ptr<FakeAXNode>> childNodes;
    struct FakeApp* app = nullptr;

    void setFrame(double x, double y, double width, double height);
};

using FakeAXNodePtr = std::shared_ptr<FakeAXNode>;

struct FakeApp {
    qint32 processIdentifier = 0;
    FakeAXNodePtr root;
    FakeAXNode* focused = nullptr;
    FakeAXNode* focusedWindow = nullptr;
};

class FakeAccessibility final : public Accessibility {
public:
    FakeAccessibility();
    ~FakeAccessibility() override;

    FakeAXNodePtr addApplication(qint32 processIdentifier);
    FakeAXNodePtr addChild(const FakeAXNodePtr& parent, const QString& role, const QString& name = {});
    // A text field with the usual attributes: role, enabled, focus settable,
    // a frame, a value and a selection (selectedText inside value).
    FakeAXNodePtr addTextField(const FakeAXNodePtr& parent, const QString& role, const QString& name,
        const QRectF& frame, const QString& value = {});
    FakeApp* application(qint32 processIdentifier);
    void setFocused(const FakeAXNodePtr& node);

    // Every call that changed something in a target: "set AXFocused name",
    // "action AXPress name".
    QStringList writes;

    // Results of "AXUIElementsForSearchPredicate" per web area; a web area
    // without an entry fails the search.
    QHash<const FakeAXNode*, QList<AXElement>> searchResults;
    // The same for "AXWebAreaSearchKey".
    QHash<const FakeAXNode*, QList<AXElement>> webAreaSearchResults;

    // Each readAhead() asked: "root's name, depth, count"; and the handle
    // handed out last, to see when it is let go. Nothing is read ahead.
    QStringList readAheads;
    std::weak_ptr<const void> readAheadHandle;

    AXElement applicationElement(qint32 processIdentifier) override;
    std::optional<AXValue> attributeValue(const AXElement& element, const QString& attribute) override;
    std::optional<QStringList> attributeNames(const AXElement& element) override;
    std::optional<bool> isAttributeSettable(const AXElement& element, const QString& attribute) override;
    bool setAttributeValue(const AXElement& element, const QString& attribute, const AXValue& value) override;
    std::optional<QStringList> actionNames(const AXElement& element) override;
    bool performAction(const AXElement& element, const QString& action) override;
    std::optional<AXValue> parameterizedAttributeValue(
        const AXElement& element, const QString& attribute, const QVariantMap& parameter) override;
    bool isSameElement(const AXElement& a, const AXElement& b) override;
    std::shared_ptr<const void> readAhead(const AXElement& root, int depth, int count) override;

private:
    FakeAXNode* node(const AXElement& element) const;
    AXElement handle(FakeAXNode* node) const;

    QList<std::shared_ptr<FakeApp>> m_apps;
};

// With a log, reads and requests are logged as "permissions read" and
// "permissions request".
class FakePermissions final : public Permissions {
public:
    FakePermissions() = default;
    explicit FakePermissions(EventLog& log)
        : m_log(&log)
    {
    }

    bool granted = true;
    int requests = 0;
    bool accessibilityGranted() override
    {
        if (m_log)
            m_log->add(QStringLiteral("permissions read"));
        return granted;
    }
    bool requestAccessibility() override
    {
        if (m_log)
            m_log->add(QStringLiteral("permissions request"));
        ++requests;
        granted = true;
        return granted;
    }

private:
    EventLog* m_log = nullptr;
};

}  // namespace mendo
