#include "engine/ReplyEditorLocator.h"

#include <QQueue>
#include <limits>

namespace mendo {

AXElement ReplyEditorLocator::focusReplyEditor(const AXElement& application, const AXElement& window)
{
    AXElement preferred;
    if (AXElement focused = m_ax.elementAttribute(application, ax::FocusedUIElement)) {
        if (AXElement ancestor = editableAncestor(focused)) {
            if (isInsideWebContent(ancestor) && focus(ancestor, application))
                return ancestor;
            preferred = ancestor;
        }
    }

    const QList<AXElement> candidates = editableElements(window);
    QList<AXElement> webCandidates;
    for (const AXElement& candidate : candidates)
        if (isInsideWebContent(candidate))
            webCandidates.append(candidate);

    if (!webCandidates.isEmpty()) {
        const AXElement chosen = choose(webCandidates);
        if (focus(chosen, application))
            return chosen;
    }

    const AXElement chosen = preferred ? preferred : choose(candidates);
    if (chosen && focus(chosen, application))
        return chosen;
    return nullptr;
}

AXElement ReplyEditorLocator::choose(const QList<AXElement>& candidates)
{
    for (const AXElement& candidate : candidates)
        if (m_ax.boolAttribute(candidate, ax::Focused) == true)
            return candidate;
    AXElement best;
    double bestScore = 0;
    for (const AXElement& candidate : candidates) {
        const double candidateScore = score(candidate);
        if (!best || candidateScore > bestScore) {
            best = candidate;
            bestScore = candidateScore;
        }
    }
    return best;
}

double ReplyEditorLocator::score(const AXElement& element)
{
    const std::optional<QRectF> frame = m_ax.frameAttribute(element);
    if (!frame)
        return std::numeric_limits<double>::lowest();
    double result = 0;
    const std::optional<QString> value = m_ax.stringAttribute(element, ax::Value);
    if (!value || value->isEmpty())
        result += 1000;
    if (m_ax.stringAttribute(element, ax::Role) == QString(ax::TextAreaRole))
        result += 500;
    result += 10 * frame->bottom();
    result += std::min(frame->width(), 1000.0);
    return result;
}

QList<AXElement> ReplyEditorLocator::editableElements(const AXElement& window)
{
    QList<AXElement> result;
    QList<AXElement> found;
    for (const AXElement& area : webAreas(window))
        found += searchEditableElements(area);
    if (!found.isEmpty()) {
        for (const AXElement& element : found)
            if (passesEditableTest(element))
                result.append(element);
        return result;
    }

    QQueue<AXElement> queue;
    queue.enqueue(window);
    int taken = 0;
    while (!queue.isEmpty() && taken < generalWalkLimit) {
        const AXElement element = queue.dequeue();
        ++taken;
        if (passesEditableTest(element))
            result.append(element);
        for (const AXElement& child : m_ax.children(element))
            queue.enqueue(child);
    }
    return result;
}

bool ReplyEditorLocator::passesEditableTest(const AXElement& element)
{
    if (!isEditableElement(element, m_ax.stringAttribute(element, ax::Role).value_or(QString())))
        return false;
    if (const std::optional<QRectF> frame = m_ax.frameAttribute(element))
        return frame->width() >= minimumWidth && frame->height() >= minimumHeight;
    return true;
}

QList<AXElement> ReplyEditorLocator::webAreas(const AXElement& root)
{
    QList<AXElement> result;
    QQueue<AXElement> queue;
    queue.enqueue(root);
    int taken = 0;
    while (!queue.isEmpty() && taken < webAreaWalkLimit) {
        const AXElement element = queue.dequeue();
        ++taken;
        if (m_ax.stringAttribute(element, ax::Role) == QString(ax::WebAreaRole)) {
            result.append(element);
            continue;
        }
        for (const AXElement& child : m_ax.children(element))
            queue.enqueue(child);
    }
    return result;
}

QList<AXElement> ReplyEditorLocator::searchEditableElements(const AXElement& webArea)
{
    const QVariantMap predicate {
        { ax::SearchKey, QString(ax::TextFieldSearchKey) },
        { ax::VisibleOnly, true },
        { ax::ResultsLimit, searchResultsLimit },
    };
    const std::optional<AXValue> value
        = m_ax.parameterizedAttributeValue(webArea, ax::ElementsForSearchPredicate, predicate);
    QList<AXElement> result;
    if (!value)
        return result;
    if (const auto* elements = std::get_if<QList<AXElement>>(&*value))
        for (const AXElement& element : *elements)
            if (element)
                result.append(element);
    return result;
}

bool ReplyEditorLocator::isEditableElement(const AXElement& element, const QString& role)
{
    const auto enabledAndFocusable = [&] {
        return m_ax.boolAttribute(element, ax::Enabled) != false
            && m_ax.isAttributeSettable(element, ax::Focused) == true;
    };
    if (role == ax::TextFieldRole || role == ax::TextAreaRole || role == ax::ComboBoxRole)
        return enabledAndFocusable();
    if (role == ax::GroupRole || role == ax::GenericElementRole) {
        const QStringList names = m_ax.attributeNames(element).value_or(QStringList());
        const bool marked = m_ax.boolAttribute(element, ax::IsEditable) == true || names.contains(ax::EditableAncestor)
            || names.contains(ax::HighestEditableAncestor);
        return marked && names.contains(ax::SelectedText) && enabledAndFocusable();
    }
    return false;
}

AXElement ReplyEditorLocator::editableAncestor(const AXElement& start)
{
    AXElement element = start;
    for (int tested = 0; element && tested < editableAncestorLimit; ++tested) {
        if (isEditableElement(element, m_ax.stringAttribute(element, ax::Role).value_or(QString())))
            return element;
        element = m_ax.elementAttribute(element, ax::Parent);
    }
    return nullptr;
}

bool ReplyEditorLocator::isInsideWebContent(const AXElement& start)
{
    bool chromeNode = false;
    AXElement element = start;
    for (int examined = 0; element && examined < webContentDepthLimit; ++examined) {
        const std::optional<QString> role = m_ax.stringAttribute(element, ax::Role);
        // Browser chrome (the address bar lives in a toolbar) is not web content.
        if (role == QString(ax::ToolbarRole))
            return false;
        if (role == QString(ax::WebAreaRole))
            return true;
        if (!chromeNode)
            chromeNode = m_ax.attributeNames(element).value_or(QStringList()).contains(ax::ChromeNodeId);
        element = m_ax.elementAttribute(element, ax::Parent);
    }
    return chromeNode;
}

bool ReplyEditorLocator::focus(const AXElement& element, const AXElement& application)
{
    if (!m_ax.setAttributeValue(element, ax::Focused, true))
        return false;
    if (isActuallyFocused(element, application))
        return true;
    if (m_ax.actionNames(element).value_or(QStringList()).contains(ax::Press))
        m_ax.performAction(element, ax::Press);
    return isActuallyFocused(element, application);
}

bool ReplyEditorLocator::isActuallyFocused(const AXElement& element, const AXElement& application)
{
    const AXElement focused = m_ax.elementAttribute(application, ax::FocusedUIElement);
    if (!focused)
        return false;
    if (m_ax.isSameElement(focused, element))
        return true;
    // Chromium hands out a new handle for the same node now and then.
    const std::optional<AXValue> focusedNode = m_ax.attributeValue(focused, ax::ChromeNodeId);
    const std::optional<AXValue> elementNode = m_ax.attributeValue(element, ax::ChromeNodeId);
    if (focusedNode && elementNode && *focusedNode == *elementNode)
        return true;
    const std::optional<QString> focusedRole = m_ax.stringAttribute(focused, ax::Role);
    const std::optional<QString> elementRole = m_ax.stringAttribute(element, ax::Role);
    if (focusedRole != elementRole)
        return false;
    const std::optional<QRectF> focusedFrame = m_ax.frameAttribute(focused);
    const std::optional<QRectF> elementFrame = m_ax.frameAttribute(element);
    return focusedFrame && elementFrame && *focusedFrame == *elementFrame;
}

}  // namespace mendo
