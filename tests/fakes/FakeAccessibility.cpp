#include "fakes/FakeAccessibility.h"

namespace mendo {

void FakeAXNode::setFrame(double x, double y, double width, double height)
{
    attributes.insert(ax::Position, QPointF(x, y));
    attributes.insert(ax::Size, QSizeF(width, height));
}

FakeAccessibility::FakeAccessibility() = default;
FakeAccessibility::~FakeAccessibility() = default;

FakeAXNodePtr FakeAccessibility::addApplication(qint32 processIdentifier)
{
    auto app = std::make_shared<FakeApp>();
    app->processIdentifier = processIdentifier;
    app->root = std::make_shared<FakeAXNode>();
    app->root->name = QStringLiteral("app %1").arg(processIdentifier);
    app->root->app = app.get();
    app->root->attributes.insert(ax::Role, QString(ax::ApplicationRole));
    m_apps.append(app);
    return app->root;
}

FakeAXNodePtr FakeAccessibility::addChild(const FakeAXNodePtr& parent, const QString& role, const QString& name)
{
    auto child = std::make_shared<FakeAXNode>();
    child->name = name.isEmpty() ? role : name;
    child->parent = parent.get();
    child->app = parent->app;
    if (!role.isEmpty())
        child->attributes.insert(ax::Role, role);
    parent->childNodes.append(child);
    return child;
}

FakeAXNodePtr FakeAccessibility::addTextField(
    const FakeAXNodePtr& parent, const QString& role, const QString& name, const QRectF& frame, const QString& value)
{
    auto field = addChild(parent, role, name);
    field->attributes.insert(ax::Enabled, true);
    field->settable.insert(ax::Focused);
    field->setFrame(frame.x(), frame.y(), frame.width(), frame.height());
    field->attributes.insert(ax::Value, value);
    field->attributes.insert(ax::NumberOfCharacters, double(value.size()));
    field->attributes.insert(ax::SelectedText, QString());
    field->settable.insert(ax::SelectedText);
    return field;
}

FakeApp* FakeAccessibility::application(qint32 processIdentifier)
{
    for (const auto& app : m_apps)
        if (app->processIdentifier == processIdentifier)
            return app.get();
    return nullptr;
}

void FakeAccessibility::setFocused(const FakeAXNodePtr& node)
{
    node->app->focused = node.get();
}

FakeAXNode* FakeAccessibility::node(const AXElement& element) const
{
    return const_cast<FakeAXNode*>(dynamic_cast<const FakeAXNode*>(element.get()));
}

AXElement FakeAccessibility::handle(FakeAXNode* node) const
{
    return node ? AXElement(node->shared_from_this()) : nullptr;
}

AXElement FakeAccessibility::applicationElement(qint32 processIdentifier)
{
    FakeApp* app = application(processIdentifier);
    return app ? AXElement(app->root) : nullptr;
}

std::optional<AXValue> FakeAccessibility::attributeValue(const AXElement& element, const QString& attribute)
{
    FakeAXNode* n = node(element);
    if (!n || n->failingAttributes.contains(attribute))
        return std::nullopt;
    if (attribute == ax::Children) {
        QList<AXElement> children;
        for (const auto& child : n->childNodes)
            children.append(child);
        return children;
    }
    if (attribute == ax::Parent)
        return n->parent ? std::optional<AXValue>(handle(n->parent)) : std::nullopt;
    if (attribute == ax::FocusedUIElement && n == n->app->root.get())
        return n->app->focused ? std::optional<AXValue>(handle(n->app->focused)) : std::nullopt;
    if (attribute == ax::FocusedWindow && n == n->app->root.get())
        return n->app->focusedWindow ? std::optional<AXValue>(handle(n->app->focusedWindow)) : std::nullopt;
    if (attribute == ax::Focused && n->settable.contains(ax::Focused))
        return n->app->focused == n;
    const auto it = n->attributes.constFind(attribute);
    if (it == n->attributes.constEnd())
        return std::nullopt;
    return *it;
}

std::optional<QStringList> FakeAccessibility::attributeNames(const AXElement& element)
{
    FakeAXNode* n = node(element);
    if (!n || n->failAttributeNames)
        return std::nullopt;
    QStringList names = n->attributes.keys();
    names += n->extraNames;
    names << QString(ax::Children) << QString(ax::Parent);
    return names;
}

std::optional<bool> FakeAccessibility::isAttributeSettable(const AXElement& element, const QString& attribute)
{
    FakeAXNode* n = node(element);
    if (!n || n->failingAttributes.contains(attribute))
        return std::nullopt;
    return n->settable.contains(attribute);
}

bool FakeAccessibility::setAttributeValue(const AXElement& element, const QString& attribute, const AXValue& value)
{
    FakeAXNode* n = node(element);
    if (!n)
        return false;
    writes << QStringLiteral("set %1 %2").arg(attribute, n->name);
    if (n == n->app->root.get()) {
        if (attribute == ax::FocusedWindow) {
            FakeAXNode* window = node(std::get_if<AXElement>(&value) ? std::get<AXElement>(value) : nullptr);
            if (!window || window->app != n->app)
                return false;
            n->app->focusedWindow = window;
            return true;
        }
    }
    if (!n->settable.contains(attribute) || n->failingAttributes.contains(attribute))
        return false;
    if (attribute == ax::Focused) {
        if (std::get_if<bool>(&value) && std::get<bool>(value) && n->takesFocus)
            n->app->focused = n;
        return true;
    }
    if (attribute == ax::SelectedText) {
        const QString* text = std::get_if<QString>(&value);
        if (!text)
            return false;
        // Replace the selection inside the value, as a text field would.
        QString current
            = std::get_if<QString>(&n->attributes[ax::Value]) ? std::get<QString>(n->attributes[ax::Value]) : QString();
        const QString selected = std::get_if<QString>(&n->attributes[ax::SelectedText])
            ? std::get<QString>(n->attributes[ax::SelectedText])
            : QString();
        const qsizetype at = selected.isEmpty() ? current.size() : current.indexOf(selected);
        current.replace(at < 0 ? current.size() : at, at < 0 ? 0 : selected.size(), *text);
        n->attributes.insert(ax::Value, current);
        n->attributes.insert(ax::NumberOfCharacters, double(current.size()));
        n->attributes.insert(ax::SelectedText, QString());
        return true;
    }
    n->attributes.insert(attribute, value);
    return true;
}

std::optional<QStringList> FakeAccessibility::actionNames(const AXElement& element)
{
    FakeAXNode* n = node(element);
    if (!n)
        return std::nullopt;
    return n->actions;
}

bool FakeAccessibility::performAction(const AXElement& element, const QString& action)
{
    FakeAXNode* n = node(element);
    if (!n)
        return false;
    writes << QStringLiteral("action %1 %2").arg(action, n->name);
    if (!n->actions.contains(action))
        return false;
    if (action == ax::Press && n->focusOnPress)
        n->app->focused = n;
    return true;
}

std::optional<AXValue> FakeAccessibility::parameterizedAttributeValue(
    const AXElement& element, const QString& attribute, const QVariantMap& parameter)
{
    FakeAXNode* n = node(element);
    const QString key = parameter.value(ax::SearchKey).toString();
    if (!n || attribute != ax::ElementsForSearchPredicate
        || (key != ax::TextFieldSearchKey && key != ax::WebAreaSearchKey))
        return std::nullopt;
    const auto& results = key == ax::TextFieldSearchKey ? searchResults : webAreaSearchResults;
    const auto it = results.constFind(n);
    if (it == results.constEnd())
        return std::nullopt;
    return *it;
}

bool FakeAccessibility::isSameElement(const AXElement& a, const AXElement& b)
{
    return a && b && node(a) == node(b);
}

std::shared_ptr<const void> FakeAccessibility::readAhead(const AXElement& root, int depth, int count)
{
    const FakeAXNode* rootNode = node(root);
    readAheads.append(QStringLiteral("%1, %2, %3").arg(rootNode ? rootNode->name : QString()).arg(depth).arg(count));
    auto handle = std::make_shared<int>(0);
    readAheadHandle = handle;
    return handle;
}

}  // namespace mendo
