#include "platform/atspi/AtspiAccessibility.h"

#include "platform/atspi/AtspiObjects.h"
#include "platform/atspi/AtspiReadAhead.h"
#include "platform/atspi/AtspiTreeWalks.h"

#include <vector>

namespace mendo {

using namespace atspi;

namespace {

std::optional<QString> wholeText(AtspiText* text)
{
    Error error;
    QString result = takeString(atspi_text_get_text(text, 0, -1, error.out()));
    if (error)
        return std::nullopt;
    return result;
}

// The first selection, or an empty range at the caret.
std::optional<std::pair<int, int>> selectionRange(AtspiText* text)
{
    Error error;
    const int selections = atspi_text_get_n_selections(text, error.out());
    if (error)
        return std::nullopt;
    if (selections > 0) {
        AtspiRange* range = atspi_text_get_selection(text, 0, error.out());
        if (error || !range) {
            g_free(range);
            return std::nullopt;
        }
        const std::pair<int, int> result(
            std::min(range->start_offset, range->end_offset), std::max(range->start_offset, range->end_offset));
        g_free(range);
        return result;
    }
    const int caret = atspi_text_get_caret_offset(text, error.out());
    if (error || caret < 0)
        return std::nullopt;
    return std::pair<int, int>(caret, caret);
}

std::optional<QString> selectedText(AtspiText* text)
{
    Error error;
    const int selections = atspi_text_get_n_selections(text, error.out());
    if (error)
        return std::nullopt;
    if (selections <= 0)
        return QString();
    const auto range = selectionRange(text);
    if (!range)
        return std::nullopt;
    QString result = takeString(atspi_text_get_text(text, range->first, range->second, error.out()));
    if (error)
        return std::nullopt;
    return result;
}

bool isPressAction(const QString& name)
{
    static const QStringList names { QStringLiteral("click"), QStringLiteral("press"), QStringLiteral("activate"),
        QStringLiteral("jump") };
    return names.contains(name.toLower());
}

bool grabFocus(AtspiAccessible* object)
{
    Ref<AtspiComponent> component(atspi_accessible_get_component_iface(object));
    if (!component)
        return false;
    Error error;
    const gboolean ok = atspi_component_grab_focus(component.get(), error.out());
    return ok && !error;
}

// GTK selects an entry's whole text when it takes the focus, so a reply
// pasted next would wipe the draft: the caret and the absence of a selection
// are put back as they were.
bool focusKeepingCaret(AtspiAccessible* object)
{
    Ref<AtspiText> text(atspi_accessible_get_text_iface(object));
    Error error;
    int selectionsBefore = 0;
    int caretBefore = -1;
    if (text) {
        selectionsBefore = atspi_text_get_n_selections(text.get(), error.out());
        caretBefore = error ? -1 : atspi_text_get_caret_offset(text.get(), error.out());
        if (error)
            caretBefore = -1;
    }
    if (!grabFocus(object))
        return false;
    if (text && selectionsBefore == 0 && caretBefore >= 0 && atspi_text_get_n_selections(text.get(), error.out()) > 0
        && !error) {
        atspi_text_remove_selection(text.get(), 0, error.out());
        atspi_text_set_caret_offset(text.get(), caretBefore, error.out());
    }
    return true;
}

}  // namespace

// Watches one operation on an element: an application that let one of its
// calls run into the timeout is skipped until the event loop runs.
struct AtspiAccessibility::Call {
    Call(AtspiAccessibility& owner, AtspiAccessible* object)
        : self(owner)
        , target(object)
    {
        atspi::resetCallTimedOut();
    }
    ~Call()
    {
        if (atspi::callTimedOut())
            self.noteTimeout(target);
    }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

    AtspiAccessibility& self;
    AtspiAccessible* target;
};

// The element of each application that last announced it took the focus.
// Filled from focus events; holds a reference of each element.
struct AtspiAccessibility::FocusTrack {
    QHash<QString, AtspiAccessible*> lastFocused;
    AtspiEventListener* listener = nullptr;

    ~FocusTrack()
    {
        for (AtspiAccessible* element : std::as_const(lastFocused))
            g_object_unref(element);
    }

    // Called while libatspi dispatches: it must not make calls of its own.
    static void onFocus(AtspiEvent* event, void* data)
    {
        auto* track = static_cast<FocusTrack*>(data);
        if (event->source && event->detail1 == 1) {
            const QString bus = busName(event->source);
            if (AtspiAccessible* previous = track->lastFocused.value(bus))
                g_object_unref(previous);
            track->lastFocused.insert(bus, static_cast<AtspiAccessible*>(g_object_ref(event->source)));
        }
        g_boxed_free(ATSPI_TYPE_EVENT, event);
    }
};

AtspiAccessibility::AtspiAccessibility(Clock& clock, bool connectLater)
    : m_clock(clock)
    , m_focusTrack(std::make_unique<FocusTrack>())
{
    if (!connectLater)
        connect();
}

void AtspiAccessibility::connect()
{
    if (m_connected)
        return;
    m_connected = true;
    // 0 = connected now, 1 = already connected (by Qt's own bridge, say).
    m_available = atspi_init() <= 1;
    // The second figure is the allowance for an application that has just
    // started; the default of many seconds would freeze the main thread.
    atspi_set_timeout(callTimeoutMs, callTimeoutMs * 3);
    if (!m_available)
        return;
    // Toolkits announce focus changes only while someone listens; with them
    // the focused element is found without walking the whole tree.
    m_focusTrack->listener = atspi_event_listener_new(&FocusTrack::onFocus, m_focusTrack.get(), nullptr);
    Error error;
    atspi_event_listener_register(m_focusTrack->listener, "object:state-changed:focused", error.out());
}

AtspiAccessibility::~AtspiAccessibility()
{
    if (m_focusTrack->listener) {
        Error error;
        atspi_event_listener_deregister(m_focusTrack->listener, "object:state-changed:focused", error.out());
        g_object_unref(m_focusTrack->listener);
    }
}

bool AtspiAccessibility::responsive(const void* object)
{
    if (!object)
        return false;
    return !m_unresponsive.contains(busName(static_cast<AtspiAccessible*>(const_cast<void*>(object))));
}

void AtspiAccessibility::noteTimeout(const void* object)
{
    m_unresponsive.insert(busName(static_cast<AtspiAccessible*>(const_cast<void*>(object))));
    if (!m_forgiveTimer || !m_forgiveTimer->isActive())
        m_forgiveTimer = m_clock.singleShot(Millis(0), [this] { m_unresponsive.clear(); });
}

AXElement AtspiAccessibility::applicationElement(qint32 processIdentifier)
{
    connect();
    if (!m_available || processIdentifier <= 0)
        return nullptr;
    Ref<AtspiAccessible> desktop(atspi_get_desktop(0));
    if (!desktop)
        return nullptr;
    // Nothing here listens for change events, so what libatspi cached since
    // the last lookup (the list of applications, their states and children)
    // may be stale: every operation starts from a clean cache.
    atspi_accessible_clear_cache(desktop.get());
    const QList<AtspiAccessible*> applications = childrenOf(desktop.get());
    AtspiAccessible* found = nullptr;
    for (AtspiAccessible* application : applications) {
        if (!responsive(application))
            continue;
        Call call(*this, application);
        Error error;
        const guint pid = atspi_accessible_get_process_id(application, error.out());
        if (!error && pid == guint(processIdentifier)) {
            found = static_cast<AtspiAccessible*>(g_object_ref(application));
            break;
        }
    }
    unrefAll(applications);
    return adopt(found);
}

std::optional<AXValue> AtspiAccessibility::attributeValue(const AXElement& element, const QString& attribute)
{
    AtspiAccessible* object = unwrap(element);
    if (!responsive(object))
        return std::nullopt;
    Call call(*this, object);

    if (attribute == ax::Role || attribute == ax::Children || attribute == ax::Hidden) {
        const std::shared_ptr<const ReadAhead> ahead = m_readAhead.lock();
        if (const ReadAhead::Element* read = ahead ? ahead->find(object) : nullptr) {
            if (attribute == ax::Role)
                return axRole(read->role, read->has(ATSPI_STATE_MULTI_LINE));
            if (attribute == ax::Hidden)
                return !read->has(ATSPI_STATE_SHOWING);
            if (read->children) {
                QList<AXElement> children;
                for (AtspiAccessible* child : *read->children)
                    children.append(adopt(static_cast<AtspiAccessible*>(g_object_ref(child))));
                return children;
            }
        }
    }
    if (attribute == ax::Role) {
        const std::optional<AtspiRole> role = roleOf(object);
        if (!role)
            return std::nullopt;
        return axRole(object, *role);
    }
    if (attribute == ax::Parent) {
        if (isApplicationRoot(object))
            return std::nullopt;
        Error error;
        Ref<AtspiAccessible> parent(atspi_accessible_get_parent(object, error.out()));
        if (error || !parent || roleOf(parent.get()) == ATSPI_ROLE_DESKTOP_FRAME)
            return std::nullopt;
        return adopt(parent.release());
    }
    if (attribute == ax::Children) {
        QList<AXElement> children;
        for (AtspiAccessible* child : childrenOf(object))
            children.append(adopt(child));
        return children;
    }
    if (attribute == ax::Enabled)
        return States(object).has(ATSPI_STATE_ENABLED);
    if (attribute == ax::Focused)
        return States(object).has(ATSPI_STATE_FOCUSED);
    if (attribute == ax::IsEditable)
        return States(object).has(ATSPI_STATE_EDITABLE);
    if (attribute == ax::Hidden)
        return !States(object).has(ATSPI_STATE_SHOWING);
    if (attribute == ax::URL) {
        Ref<AtspiDocument> document(atspi_accessible_get_document_iface(object));
        if (!document)
            return std::nullopt;
        Error error;
        // libatspi takes the name as a mutable string, though it only reads it.
        char name[] = "URI";
        QString address = takeString(atspi_document_get_document_attribute_value(document.get(), name, error.out()));
        if (error)
            return std::nullopt;
        return address;
    }
    if (attribute == ax::Position || attribute == ax::Size) {
        Ref<AtspiComponent> component(atspi_accessible_get_component_iface(object));
        if (!component)
            return std::nullopt;
        Error error;
        AtspiRect* rect = atspi_component_get_extents(component.get(), ATSPI_COORD_TYPE_SCREEN, error.out());
        if (error || !rect) {
            g_free(rect);
            return std::nullopt;
        }
        const QRectF frame(rect->x, rect->y, rect->width, rect->height);
        g_free(rect);
        if (attribute == ax::Position)
            return frame.topLeft();
        return frame.size();
    }
    if (attribute == ax::Value || attribute == ax::SelectedText || attribute == ax::NumberOfCharacters) {
        Ref<AtspiText> text(atspi_accessible_get_text_iface(object));
        if (!text)
            return std::nullopt;
        if (attribute == ax::NumberOfCharacters) {
            Error error;
            const int count = atspi_text_get_character_count(text.get(), error.out());
            if (error || count < 0)
                return std::nullopt;
            return double(count);
        }
        const std::optional<QString> result = attribute == ax::Value ? wholeText(text.get()) : selectedText(text.get());
        if (!result)
            return std::nullopt;
        return *result;
    }
    if (attribute == ax::FocusedUIElement) {
        if (!isApplicationRoot(object))
            return std::nullopt;
        AXElement focused = adopt(focusedElementOf(object, m_focusTrack->lastFocused));
        if (!focused)
            return std::nullopt;
        return focused;
    }
    if (attribute == ax::FocusedWindow) {
        if (!isApplicationRoot(object))
            return std::nullopt;
        AXElement window = adopt(focusedWindowOf(object));
        if (!window)
            return std::nullopt;
        return window;
    }
    if (attribute == ax::ChromeNodeId) {
        if (!isChromium(object))
            return std::nullopt;
        return objectPath(object);
    }
    return std::nullopt;
}

std::optional<QStringList> AtspiAccessibility::attributeNames(const AXElement& element)
{
    AtspiAccessible* object = unwrap(element);
    if (!responsive(object))
        return std::nullopt;
    Call call(*this, object);
    const std::optional<AtspiRole> role = roleOf(object);
    if (!role)
        return std::nullopt;
    QStringList names { ax::Role, ax::Parent, ax::Children, ax::Enabled, ax::Focused, ax::IsEditable, ax::Hidden };
    if (*role == ATSPI_ROLE_APPLICATION)
        names << ax::FocusedUIElement << ax::FocusedWindow;
    if (Ref<AtspiComponent>(atspi_accessible_get_component_iface(object)))
        names << ax::Position << ax::Size;
    if (Ref<AtspiText>(atspi_accessible_get_text_iface(object)))
        names << ax::Value << ax::SelectedText << ax::NumberOfCharacters;
    if (Ref<AtspiDocument>(atspi_accessible_get_document_iface(object)))
        names << ax::URL;
    // Editable web content (contenteditable) marks each of its elements.
    if (States(object).has(ATSPI_STATE_EDITABLE))
        names << ax::EditableAncestor;
    if (isChromium(object))
        names << ax::ChromeNodeId;
    return names;
}

std::optional<bool> AtspiAccessibility::isAttributeSettable(const AXElement& element, const QString& attribute)
{
    AtspiAccessible* object = unwrap(element);
    if (!responsive(object))
        return std::nullopt;
    Call call(*this, object);
    if (attribute == ax::Focused) {
        return States(object).has(ATSPI_STATE_FOCUSABLE)
            && bool(Ref<AtspiComponent>(atspi_accessible_get_component_iface(object)));
    }
    if (attribute == ax::SelectedText || attribute == ax::Value) {
        const States states(object);
        return states.has(ATSPI_STATE_EDITABLE) && !states.has(ATSPI_STATE_READ_ONLY)
            && bool(Ref<AtspiEditableText>(atspi_accessible_get_editable_text_iface(object)))
            && (attribute == ax::Value || bool(Ref<AtspiText>(atspi_accessible_get_text_iface(object))));
    }
    return false;
}

bool AtspiAccessibility::setAttributeValue(const AXElement& element, const QString& attribute, const AXValue& value)
{
    AtspiAccessible* object = unwrap(element);
    if (!responsive(object))
        return false;
    Call call(*this, object);
    if (attribute == ax::Focused) {
        const bool* focused = std::get_if<bool>(&value);
        if (!focused || !*focused)
            return false;
        if (States(object).has(ATSPI_STATE_FOCUSED))
            return true;
        return focusKeepingCaret(object);
    }
    if (attribute == ax::SelectedText || attribute == ax::Value) {
        const QString* text = std::get_if<QString>(&value);
        if (!text)
            return false;
        Ref<AtspiEditableText> editable(atspi_accessible_get_editable_text_iface(object));
        if (!editable)
            return false;
        const QByteArray utf8 = text->toUtf8();
        Error error;
        if (attribute == ax::Value)
            return atspi_editable_text_set_text_contents(editable.get(), utf8.constData(), error.out()) && !error;
        Ref<AtspiText> textInterface(atspi_accessible_get_text_iface(object));
        if (!textInterface)
            return false;
        const auto range = selectionRange(textInterface.get());
        if (!range)
            return false;
        if (range->second > range->first
            && (!atspi_editable_text_delete_text(editable.get(), range->first, range->second, error.out()) || error))
            return false;
        if (utf8.isEmpty())
            return true;
        // The length is in the toolkit's own measure: Qt's bridge cuts or pads
        // (with NULs) the text to that many UTF-16 units, GTK's takes bytes.
        const int length = isToolkit(object, QLatin1String("Qt")) ? int(text->size()) : int(utf8.size());
        return atspi_editable_text_insert_text(editable.get(), range->first, utf8.constData(), length, error.out())
            && !error;
    }
    return false;
}

std::optional<QStringList> AtspiAccessibility::actionNames(const AXElement& element)
{
    AtspiAccessible* object = unwrap(element);
    if (!responsive(object))
        return std::nullopt;
    Call call(*this, object);
    QStringList names;
    Ref<AtspiAction> action(atspi_accessible_get_action_iface(object));
    if (!action)
        return names;
    Error error;
    const int count = atspi_action_get_n_actions(action.get(), error.out());
    for (int i = 0; !error && i < count; ++i) {
        if (isPressAction(takeString(atspi_action_get_action_name(action.get(), i, error.out())))) {
            names << ax::Press;
            break;
        }
    }
    return names;
}

bool AtspiAccessibility::performAction(const AXElement& element, const QString& actionName)
{
    AtspiAccessible* object = unwrap(element);
    if (!responsive(object))
        return false;
    Call call(*this, object);
    if (actionName != ax::Press)
        return false;
    Ref<AtspiAction> action(atspi_accessible_get_action_iface(object));
    if (!action)
        return false;
    Error error;
    const int count = atspi_action_get_n_actions(action.get(), error.out());
    for (int i = 0; !error && i < count; ++i) {
        if (isPressAction(takeString(atspi_action_get_action_name(action.get(), i, error.out()))))
            return atspi_action_do_action(action.get(), i, error.out()) && !error;
    }
    return false;
}

std::optional<AXValue> AtspiAccessibility::parameterizedAttributeValue(
    const AXElement& element, const QString& attribute, const QVariantMap& parameter)
{
    AtspiAccessible* object = unwrap(element);
    const QString key = parameter.value(ax::SearchKey).toString();
    if (!responsive(object) || attribute != ax::ElementsForSearchPredicate
        || (key != ax::TextFieldSearchKey && key != ax::WebAreaSearchKey))
        return std::nullopt;
    Call call(*this, object);
    const bool textFields = key == ax::TextFieldSearchKey;
    std::vector<AtspiStateType> states;
    if (textFields)
        states.push_back(ATSPI_STATE_EDITABLE);
    if (parameter.value(ax::VisibleOnly).toBool())
        states.push_back(ATSPI_STATE_SHOWING);
    const int limit = parameter.value(ax::ResultsLimit, 0).toInt();
    const std::vector<AtspiRole> roles = textFields
        ? std::vector<AtspiRole> { ATSPI_ROLE_ENTRY, ATSPI_ROLE_TEXT, ATSPI_ROLE_PASSWORD_TEXT }
        : std::vector<AtspiRole> { ATSPI_ROLE_DOCUMENT_WEB };
    const auto matches = collectionMatches(object, states, roles, std::max(limit, 0));
    if (!matches)
        return std::nullopt;
    QList<AXElement> result;
    for (AtspiAccessible* match : *matches)
        result.append(adopt(match));
    return result;
}

std::shared_ptr<const void> AtspiAccessibility::readAhead(const AXElement& root, int depth, int count)
{
    AtspiAccessible* object = unwrap(root);
    if (!responsive(object))
        return nullptr;
    Call call(*this, object);
    std::shared_ptr<const ReadAhead> ahead = ReadAhead::read(object, depth, count, callTimeoutMs);
    m_readAhead = ahead;
    return ahead;
}

bool AtspiAccessibility::isSameElement(const AXElement& a, const AXElement& b)
{
    AtspiAccessible* first = unwrap(a);
    AtspiAccessible* second = unwrap(b);
    if (!first || !second)
        return false;
    return first == second || (busName(first) == busName(second) && objectPath(first) == objectPath(second));
}

}  // namespace mendo
