#pragma once

#include "platform/Accessibility.h"

namespace mendo {

// Finds and focuses the text field a chat reply belongs in, inside one window
// of another application. Browsers and web-based applications get special
// care: their page's fields win over browser chrome such as the address bar.
// Every walk is bounded, since callers retry every few milliseconds.
class ReplyEditorLocator {
public:
    static constexpr int webAreaWalkLimit = 2000;
    static constexpr int searchResultsLimit = 100;
    static constexpr int generalWalkLimit = 30000;
    static constexpr int editableAncestorLimit = 16;
    static constexpr int webContentDepthLimit = 64;
    static constexpr double minimumWidth = 40;
    static constexpr double minimumHeight = 14;

    explicit ReplyEditorLocator(Accessibility& accessibility)
        : m_ax(accessibility)
    {
    }

    // Focuses the best editor of `window` (an element of `application`) and
    // returns it; nullptr when none could be focused. The application's
    // focused element is preferred when it is (inside) an editor.
    AXElement focusReplyEditor(const AXElement& application, const AXElement& window);

    // The editable candidates of a window, in search order.
    QList<AXElement> editableElements(const AXElement& window);
    QList<AXElement> webAreas(const AXElement& root);
    QList<AXElement> searchEditableElements(const AXElement& webArea);
    bool isEditableElement(const AXElement& element, const QString& role);
    AXElement editableAncestor(const AXElement& start);
    bool isInsideWebContent(const AXElement& element);
    bool focus(const AXElement& element, const AXElement& application);
    bool isActuallyFocused(const AXElement& element, const AXElement& application);
    // Prefers an empty text area low in the window.
    double score(const AXElement& element);

private:
    bool passesEditableTest(const AXElement& element);
    // The first candidate reporting the focus, else the best scored (the
    // earlier on a tie); nullptr for an empty list.
    AXElement choose(const QList<AXElement>& candidates);

    Accessibility& m_ax;
};

}  // namespace mendo
