#pragma once

#include "base/Clock.h"
#include "platform/Accessibility.h"

#include <QSet>

namespace mendo {

namespace atspi {
class ReadAhead;
}

// The accessibility trees of other applications over AT-SPI 2. Every D-Bus
// call is bounded by a short timeout, and an application that let one call
// run into it is skipped until the event loop next runs, so that a hung
// program costs one timeout per operation rather than one per element of a
// walk. (Often it is not hung at all but waiting for MendoAI itself, say for
// the clipboard contents of a paste, which the event loop then serves.)
//
// The vocabulary maps onto AT-SPI like this:
//   "AXRole"            role: entry/text/password text -> "AXTextField", or
//                       "AXTextArea" when multi-line; combo box ->
//                       "AXComboBox"; web document -> "AXWebArea"; tool bar ->
//                       "AXToolbar"; frame/window/dialog -> "AXWindow";
//                       sections, panels, paragraphs -> "AXGroup"; others
//                       "AX" + the role name in camel case
//   "AXValue"           the Text interface's whole text
//   "AXSelectedText"    the Text interface's first selection ("" without one);
//                       set: the selection (or nothing at the caret) is
//                       replaced through EditableText
//   "AXNumberOfCharacters"  the Text interface's character count
//   "AXEnabled", "AXFocused", "AXIsEditable"  the enabled, focused and
//                       editable states; "AXHidden" the showing state's
//                       absence; setting "AXFocused" grabs the focus,
//                       keeping the caret where it was and selecting nothing
//   "AXPosition", "AXSize"  the Component's extents in screen coordinates
//   "AXURL"             the Document interface's "URI" attribute
//   "AXFocusedUIElement"  (application) the element that last announced it
//                       took the focus, while it still has it; else the
//                       element in the focused state, the active window
//                       searched first (a Collection search where the
//                       toolkit offers one, else a bounded walk)
//   "AXFocusedWindow"   (application) its active window, else the first
//                       showing one
//   "ChromeAXNodeId"    on every element of a Chromium-based application,
//                       valued with the element's object path
//   actions             "AXPress" for click/press/activate. Windows are
//                       raised and activated by the window manager (the
//                       Workspace seam), not here: there is no "AXRaise", and
//                       "AXFocusedWindow" and "AXManualAccessibility" are
//                       read-only
//   "AXUIElementsForSearchPredicate"  a Collection search for showing,
//                       editable text fields, or for web documents: one
//                       request, in tree order
//
// readAhead() asks each element's role, states and children (GetChildren:
// all of them in one answer) with many requests in flight, a level of the
// tree at a time. Qt's bridge offers no bulk read of its own: it answers no
// Collection search, and its Cache's GetItems answers an empty list.
class AtspiAccessibility final : public Accessibility {
public:
    // Per-call D-Bus timeout.
    static constexpr int callTimeoutMs = 400;

    // Connects to the accessibility bus now, or with `connectLater` at
    // connect() or the first question: its round trips need not hold up a
    // start.
    explicit AtspiAccessibility(Clock& clock, bool connectLater = false);
    ~AtspiAccessibility() override;

    // Connects to the bus and listens for focus changes; once, however often
    // it is called.
    void connect();
    // Whether libatspi could reach the accessibility bus.
    bool isAvailable()
    {
        connect();
        return m_available;
    }

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

    // Implementation details shared with the .cpp's helpers.
    struct Call;
    struct FocusTrack;
    bool responsive(const void* object);
    void noteTimeout(const void* object);

private:
    Clock& m_clock;
    bool m_connected = false;
    bool m_available = false;
    // Bus names of the applications skipped until the event loop runs.
    QSet<QString> m_unresponsive;
    std::unique_ptr<Timer> m_forgiveTimer;
    std::unique_ptr<FocusTrack> m_focusTrack;
    // The one read ahead last, while its handle lives.
    std::weak_ptr<const atspi::ReadAhead> m_readAhead;
};

}  // namespace mendo
