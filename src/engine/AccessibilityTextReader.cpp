#include "engine/AccessibilityTextReader.h"

#include "engine/FocusService.h"
#include "platform/Workspace.h"

namespace mendo {

AccessibilityTextReader::AccessibilityTextReader(
    Accessibility& accessibility, Workspace& workspace, FocusService& focus)
    : m_ax(accessibility)
    , m_workspace(workspace)
    , m_focus(focus)
{
}

AXElement AccessibilityTextReader::focusedElementOf(qint32 processIdentifier)
{
    const AXElement application = m_ax.applicationElement(processIdentifier);
    return m_ax.elementAttribute(application, ax::FocusedUIElement);
}

AXElement AccessibilityTextReader::focusedElementOfBundle()
{
    const std::optional<QString>& bundleIdentifier = m_focus.rememberedBundleIdentifier();
    if (!bundleIdentifier)
        return nullptr;
    const QList<RunningApplication> running = m_workspace.runningApplications();
    for (const RunningApplication& application : running)
        if (application.bundleIdentifier == *bundleIdentifier)
            return application.processIdentifier > 0 ? focusedElementOf(application.processIdentifier) : nullptr;
    return nullptr;
}

AXElement AccessibilityTextReader::focusedElement()
{
    const std::optional<RunningApplication> application = m_focus.rememberedApplication();
    if (!application)
        return nullptr;
    return focusedElementOf(application->processIdentifier);
}

bool AccessibilityTextReader::reportsFocusedElement()
{
    return bool(focusedElementOfBundle());
}

QString AccessibilityTextReader::selectedText()
{
    return m_ax.stringAttribute(focusedElementOfBundle(), ax::SelectedText).value_or(QString());
}

FocusedText AccessibilityTextReader::focusedText()
{
    const AXElement element = focusedElementOfBundle();
    FocusedText result;
    result.selectedText = m_ax.stringAttribute(element, ax::SelectedText);
    if (!result.selectedText)
        result.value = m_ax.stringAttribute(element, ax::Value);
    return result;
}

bool AccessibilityTextReader::requiresPasteFallback(const AXElement& start)
{
    AXElement element = start;
    for (int examined = 0; element && examined < webContentDepthLimit; ++examined) {
        if (m_ax.attributeNames(element).value_or(QStringList()).contains(ax::ChromeNodeId))
            return true;
        if (m_ax.stringAttribute(element, ax::Role) == QString(ax::WebAreaRole))
            return true;
        element = m_ax.elementAttribute(element, ax::Parent);
    }
    return false;
}

QString AccessibilityTextReader::selectedTextForLayout()
{
    const AXElement element = focusedElement();
    if (!element || requiresPasteFallback(element))
        return {};
    return m_ax.stringAttribute(element, ax::SelectedText).value_or(QString());
}

bool AccessibilityTextReader::replaceSelectedText(const QString& text)
{
    const AXElement element = focusedElement();
    if (!element || requiresPasteFallback(element))
        return false;
    if (m_ax.isAttributeSettable(element, ax::SelectedText) != true)
        return false;
    return m_ax.setAttributeValue(element, ax::SelectedText, text);
}

}  // namespace mendo
