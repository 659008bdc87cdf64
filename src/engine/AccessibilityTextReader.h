#pragma once

#include "engine/FocusedTextAccess.h"
#include "platform/Accessibility.h"

namespace mendo {

class FocusService;
class Workspace;

// Reads and replaces the selected text of the remembered application through
// its accessibility tree: no pasteboard, no keystrokes. Web content is left
// alone (callers copy and paste there instead): browsers expose page fields
// whose accessible text does not round-trip reliably. Main thread only.
class AccessibilityTextReader final : public FocusedTextAccess {
public:
    // The focused element, its ancestors included, is searched this deep for
    // web content.
    static constexpr int webContentDepthLimit = 32;

    AccessibilityTextReader(Accessibility& accessibility, Workspace& workspace, FocusService& focus);

    // The selected text of the focused element of the first running
    // application with the remembered id; empty when anything is missing.
    QString selectedText() override;
    bool reportsFocusedElement() override;
    // That element's selected text when it reports one (even an empty one),
    // else its whole value.
    FocusedText focusedText() override;
    // The focused element of the remembered process (only while the process
    // still belongs to the remembered application).
    AXElement focusedElement();
    // Whether the element lies in web content.
    bool requiresPasteFallback(const AXElement& element);
    // The selection of focusedElement(); empty for web content.
    QString selectedTextForLayout() override;
    // Writes over the selection of focusedElement(), the very element
    // selectedTextForLayout() reads: never over another instance of the same
    // application. False for web content, a read-only selection or a refused
    // write.
    bool replaceSelectedText(const QString& text) override;

private:
    AXElement focusedElementOfBundle();
    AXElement focusedElementOf(qint32 processIdentifier);

    Accessibility& m_ax;
    Workspace& m_workspace;
    FocusService& m_focus;
};

}  // namespace mendo
