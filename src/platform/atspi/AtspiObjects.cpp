#include "platform/atspi/AtspiObjects.h"

namespace mendo::atspi {

namespace {

// Set when a call ran into its D-Bus timeout since the flag was last reset.
thread_local bool t_callTimedOut = false;

AtspiStateSet* freshStateSet(AtspiAccessible* object)
{
    atspi_accessible_clear_cache(object);
    return atspi_accessible_get_state_set(object);
}

}  // namespace

AXElement adopt(AtspiAccessible* object)
{
    return object ? std::make_shared<const AtspiElement>(object) : nullptr;
}

AtspiAccessible* unwrap(const AXElement& element)
{
    const auto* atspi = dynamic_cast<const AtspiElement*>(element.get());
    return atspi ? atspi->object : nullptr;
}

void Error::release()
{
    if (!m_error)
        return;
    const QByteArray message(m_error->message ? m_error->message : "");
    if (message.contains("NoReply") || message.contains("Did not receive a reply") || message.contains("imed out")
        || message.contains("imeout"))
        t_callTimedOut = true;
    g_error_free(m_error);
    m_error = nullptr;
}

bool callTimedOut()
{
    return t_callTimedOut;
}

void resetCallTimedOut()
{
    t_callTimedOut = false;
}

void noteCallTimedOut()
{
    t_callTimedOut = true;
}

QString takeString(gchar* text)
{
    if (!text)
        return {};
    QString result = QString::fromUtf8(text);
    g_free(text);
    return result;
}

QString busName(AtspiAccessible* object)
{
    const AtspiObject* base = ATSPI_OBJECT(object);
    return base->app && base->app->bus_name ? QString::fromUtf8(base->app->bus_name) : QString();
}

QString objectPath(AtspiAccessible* object)
{
    const AtspiObject* base = ATSPI_OBJECT(object);
    return base->path ? QString::fromUtf8(base->path) : QString();
}

std::optional<AtspiRole> roleOf(AtspiAccessible* object)
{
    Error error;
    const AtspiRole role = atspi_accessible_get_role(object, error.out());
    if (error)
        return std::nullopt;
    return role;
}

States::States(AtspiAccessible* object)
    : m_set(freshStateSet(object))
{
}

bool States::has(AtspiStateType state) const
{
    return m_set.get() && atspi_state_set_contains(m_set.get(), state);
}

bool isApplicationRoot(AtspiAccessible* object)
{
    return roleOf(object) == ATSPI_ROLE_APPLICATION;
}

bool isWindowRole(AtspiRole role)
{
    return role == ATSPI_ROLE_FRAME || role == ATSPI_ROLE_WINDOW || role == ATSPI_ROLE_DIALOG
        || role == ATSPI_ROLE_ALERT || role == ATSPI_ROLE_FILE_CHOOSER;
}

bool isTextFieldRole(AtspiRole role)
{
    return role == ATSPI_ROLE_ENTRY || role == ATSPI_ROLE_TEXT || role == ATSPI_ROLE_PASSWORD_TEXT;
}

namespace {

QString camelRoleName(AtspiRole role)
{
    QString result = QStringLiteral("AX");
    const QStringList words = takeString(atspi_role_get_name(role)).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& word : words)
        result += word.left(1).toUpper() + word.mid(1);
    return result;
}

}  // namespace

QString axRole(AtspiAccessible* object, AtspiRole role)
{
    return axRole(role, isTextFieldRole(role) && States(object).has(ATSPI_STATE_MULTI_LINE));
}

QString axRole(AtspiRole role, bool multiLine)
{
    if (isTextFieldRole(role))
        return multiLine ? QString(ax::TextAreaRole) : QString(ax::TextFieldRole);
    if (isWindowRole(role))
        return ax::WindowRole;
    switch (role) {
    case ATSPI_ROLE_APPLICATION:
        return ax::ApplicationRole;
    case ATSPI_ROLE_COMBO_BOX:
        return ax::ComboBoxRole;
    case ATSPI_ROLE_DOCUMENT_WEB:
        return ax::WebAreaRole;
    case ATSPI_ROLE_TOOL_BAR:
        return ax::ToolbarRole;
    case ATSPI_ROLE_SECTION:
    case ATSPI_ROLE_PANEL:
    case ATSPI_ROLE_PARAGRAPH:
    case ATSPI_ROLE_FILLER:
    case ATSPI_ROLE_FORM:
    case ATSPI_ROLE_BLOCK_QUOTE:
    case ATSPI_ROLE_ARTICLE:
    case ATSPI_ROLE_GROUPING:
        return ax::GroupRole;
    default:
        return camelRoleName(role);
    }
}

QList<AtspiAccessible*> childrenOf(AtspiAccessible* object)
{
    QList<AtspiAccessible*> result;
    Error error;
    const int count = atspi_accessible_get_child_count(object, error.out());
    if (error)
        return result;
    for (int i = 0; i < count; ++i) {
        AtspiAccessible* child = atspi_accessible_get_child_at_index(object, i, error.out());
        if (error)
            break;
        if (child)
            result.append(child);
    }
    return result;
}

void unrefAll(const QList<AtspiAccessible*>& objects)
{
    for (AtspiAccessible* object : objects)
        g_object_unref(object);
}

bool isToolkit(AtspiAccessible* object, QLatin1String name)
{
    Error error;
    const QString toolkit = takeString(atspi_accessible_get_toolkit_name(object, error.out()));
    return !error && toolkit.compare(name, Qt::CaseInsensitive) == 0;
}

bool isChromium(AtspiAccessible* object)
{
    return isToolkit(object, QLatin1String("Chromium"));
}

}  // namespace mendo::atspi
