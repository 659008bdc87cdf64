#pragma once

#include "platform/Accessibility.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// After Qt: glib and libatspi headers.
#include <atspi/atspi.h>

// The libatspi objects as MendoAI handles them: owned references, errors that
// note D-Bus timeouts, states read afresh, identities and role names.
namespace mendo::atspi {

// Owns one reference of an AT-SPI object, as the seam hands it out.
class AtspiElement final : public AccessibleObject {
public:
    explicit AtspiElement(AtspiAccessible* adopted)
        : object(adopted)
    {
    }
    ~AtspiElement() override { g_object_unref(object); }
    AtspiElement(const AtspiElement&) = delete;
    AtspiElement& operator=(const AtspiElement&) = delete;

    AtspiAccessible* const object;
};

// Takes over the reference; null stays null.
AXElement adopt(AtspiAccessible* object);
// The object behind an element of this seam; null for anything else.
AtspiAccessible* unwrap(const AXElement& element);

// A GObject reference released at scope end.
template <class T> class Ref {
public:
    explicit Ref(T* object = nullptr)
        : m_object(object)
    {
    }
    ~Ref()
    {
        if (m_object)
            g_object_unref(m_object);
    }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    T* get() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }
    T* release() { return std::exchange(m_object, nullptr); }

private:
    T* m_object;
};

// A GError slot for one call after another; an error that says the call ran
// into its D-Bus timeout sets the flag that callTimedOut() reads.
class Error {
public:
    Error() = default;
    ~Error() { release(); }
    Error(const Error&) = delete;
    Error& operator=(const Error&) = delete;
    GError** out()
    {
        release();
        return &m_error;
    }
    explicit operator bool() const { return m_error != nullptr; }

private:
    void release();

    GError* m_error = nullptr;
};

// Whether a call ran into its D-Bus timeout since resetCallTimedOut().
bool callTimedOut();
void resetCallTimedOut();
// For a call made past libatspi, which told of its timeout some other way.
void noteCallTimedOut();

QString takeString(gchar* text);
QString busName(AtspiAccessible* object);
QString objectPath(AtspiAccessible* object);
std::optional<AtspiRole> roleOf(AtspiAccessible* object);
bool isApplicationRoot(AtspiAccessible* object);

// The element's states as they are now. libatspi keeps states it has seen,
// and without event listeners nobody tells it when they change (the focus
// moved, a window went inactive), so they are always read afresh.
class States {
public:
    explicit States(AtspiAccessible* object);
    bool has(AtspiStateType state) const;

private:
    Ref<AtspiStateSet> m_set;
};

bool isWindowRole(AtspiRole role);
bool isTextFieldRole(AtspiRole role);
// The seam's name of the role ("AXTextField", "AXGroup", "AXPushButton").
QString axRole(AtspiAccessible* object, AtspiRole role);
// The same, with the multi-line state (which tells a text area from a field)
// already read.
QString axRole(AtspiRole role, bool multiLine);

// New references of the children; stops at the first that cannot be read.
QList<AtspiAccessible*> childrenOf(AtspiAccessible* object);
void unrefAll(const QList<AtspiAccessible*>& objects);
bool isToolkit(AtspiAccessible* object, QLatin1String name);
bool isChromium(AtspiAccessible* object);

}  // namespace mendo::atspi
