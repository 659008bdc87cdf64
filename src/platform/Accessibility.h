#pragma once

#include <QLatin1String>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <memory>
#include <optional>
#include <variant>

namespace mendo {

// An element of another application's accessibility tree, as handed out by an
// Accessibility implementation. Only that implementation looks inside; everyone
// else keeps and passes the handle.
class AccessibleObject {
public:
    virtual ~AccessibleObject() = default;
};

// A present element is never a null pointer: absent elements are nullptr or an
// empty optional.
using AXElement = std::shared_ptr<const AccessibleObject>;

// The value of an attribute. A point and a size are kept apart from each
// other (a frame is read as "AXPosition" plus "AXSize"), a number is a double.
// Beware: build string values from QString, never from a bare literal, which
// would become a bool.
using AXValue = std::variant<QString, bool, double, QPointF, QSizeF, AXElement, QList<AXElement>>;

// The attribute, action and search vocabulary the engine's algorithms use.
// An implementation translates it to its platform (AT-SPI: roles, states and
// interfaces) and answers anything it cannot translate as unsupported.
namespace ax {
// Attributes.
inline constexpr QLatin1String Children("AXChildren");
inline constexpr QLatin1String EditableAncestor("AXEditableAncestor");
inline constexpr QLatin1String Enabled("AXEnabled");
inline constexpr QLatin1String Focused("AXFocused");
inline constexpr QLatin1String FocusedUIElement("AXFocusedUIElement");
inline constexpr QLatin1String FocusedWindow("AXFocusedWindow");
// True for an element the application keeps out of sight (a tool bar an app
// window does not show); absent reads as shown.
inline constexpr QLatin1String Hidden("AXHidden");
inline constexpr QLatin1String HighestEditableAncestor("AXHighestEditableAncestor");
inline constexpr QLatin1String IsEditable("AXIsEditable");
inline constexpr QLatin1String ManualAccessibility("AXManualAccessibility");
inline constexpr QLatin1String NumberOfCharacters("AXNumberOfCharacters");
inline constexpr QLatin1String Parent("AXParent");
inline constexpr QLatin1String Position("AXPosition");
inline constexpr QLatin1String Role("AXRole");
inline constexpr QLatin1String SelectedText("AXSelectedText");
inline constexpr QLatin1String Size("AXSize");
inline constexpr QLatin1String Value("AXValue");
// The address of the page a web area shows.
inline constexpr QLatin1String URL("AXURL");
// Present (in the attribute names) on every element of a Chromium-based
// application; its value identifies the element within that application.
inline constexpr QLatin1String ChromeNodeId("ChromeAXNodeId");

// Role values.
inline constexpr QLatin1String ApplicationRole("AXApplication");
inline constexpr QLatin1String ComboBoxRole("AXComboBox");
inline constexpr QLatin1String GenericElementRole("AXGenericElement");
inline constexpr QLatin1String GroupRole("AXGroup");
inline constexpr QLatin1String TextAreaRole("AXTextArea");
inline constexpr QLatin1String TextFieldRole("AXTextField");
inline constexpr QLatin1String ToolbarRole("AXToolbar");
inline constexpr QLatin1String WebAreaRole("AXWebArea");
inline constexpr QLatin1String WindowRole("AXWindow");

// Actions.
inline constexpr QLatin1String Press("AXPress");
inline constexpr QLatin1String Raise("AXRaise");

// The element search: a parameterized attribute taking a map of these keys.
inline constexpr QLatin1String ElementsForSearchPredicate("AXUIElementsForSearchPredicate");
inline constexpr QLatin1String SearchKey("AXSearchKey");
inline constexpr QLatin1String TextFieldSearchKey("AXTextFieldSearchKey");
// Web areas: the documents a browser shows, a page's frames included.
inline constexpr QLatin1String WebAreaSearchKey("AXWebAreaSearchKey");
inline constexpr QLatin1String VisibleOnly("AXVisibleOnly");
inline constexpr QLatin1String ResultsLimit("AXResultsLimit");
}  // namespace ax

// The accessibility trees of other applications. Main thread only. No call
// raises or blocks for long: a refused call, an application that does not
// answer in time, a missing attribute and an unsupported one are all answered
// as absent, an empty optional or false.
class Accessibility {
public:
    virtual ~Accessibility() = default;

    // The root element of the application run by the process; nullptr when
    // the process exposes no accessibility tree.
    virtual AXElement applicationElement(qint32 processIdentifier) = 0;

    virtual std::optional<AXValue> attributeValue(const AXElement& element, const QString& attribute) = 0;
    // Nothing when the names cannot be read at all.
    virtual std::optional<QStringList> attributeNames(const AXElement& element) = 0;
    // Nothing when the question itself fails.
    virtual std::optional<bool> isAttributeSettable(const AXElement& element, const QString& attribute) = 0;
    // True when the application took the value.
    virtual bool setAttributeValue(const AXElement& element, const QString& attribute, const AXValue& value) = 0;

    virtual std::optional<QStringList> actionNames(const AXElement& element) = 0;
    virtual bool performAction(const AXElement& element, const QString& action) = 0;

    virtual std::optional<AXValue> parameterizedAttributeValue(
        const AXElement& element, const QString& attribute, const QVariantMap& parameter)
        = 0;

    // Whether two handles name the same element of the same application.
    virtual bool isSameElement(const AXElement& a, const AXElement& b) = 0;

    // Ahead of a walk down from `root` that reads "AXRole", "AXChildren" and
    // "AXHidden" element by element: an implementation whose every read is a
    // round trip to the application may read those of the elements the walk
    // can reach in bulk (at most `depth` levels below `root` and `count`
    // elements in tree order, entering no hidden element and no web area,
    // as no walk does) and answer the walk's reads of them from there while
    // the returned handle lives. The answers are those the reads would have
    // given; anything not read ahead is read as usual. Nothing by default.
    virtual std::shared_ptr<const void> readAhead(const AXElement& root, int depth, int count);

    // Typed reads: absent on any error, missing value or value of another type.
    std::optional<QString> stringAttribute(const AXElement& element, const QString& attribute);
    AXElement elementAttribute(const AXElement& element, const QString& attribute);
    std::optional<bool> boolAttribute(const AXElement& element, const QString& attribute);
    std::optional<double> numberAttribute(const AXElement& element, const QString& attribute);
    // From "AXPosition" and "AXSize" (screen coordinates, y growing
    // downward); absent unless both read.
    std::optional<QRectF> frameAttribute(const AXElement& element);
    // The "AXChildren" that are elements, in order; empty on error.
    QList<AXElement> children(const AXElement& element);
};

}  // namespace mendo
