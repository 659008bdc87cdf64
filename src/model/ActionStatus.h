#pragma once

#include <QString>

namespace mendo {

// The state of the text action in progress, with the text shown for it.
class ActionStatus {
public:
    enum class Kind { running, done, failed, idle };

    ActionStatus() = default;  // idle
    static ActionStatus running(QString text) { return { Kind::running, std::move(text) }; }
    static ActionStatus done(QString text) { return { Kind::done, std::move(text) }; }
    static ActionStatus failed(QString text) { return { Kind::failed, std::move(text) }; }
    static ActionStatus idle() { return {}; }

    Kind kind() const { return m_kind; }
    // Empty for idle.
    const QString& text() const { return m_text; }
    bool isIdle() const { return m_kind == Kind::idle; }
    bool isRunning() const { return m_kind == Kind::running; }

    bool operator==(const ActionStatus&) const = default;

private:
    ActionStatus(Kind kind, QString text)
        : m_kind(kind)
        , m_text(std::move(text))
    {
    }

    Kind m_kind = Kind::idle;
    QString m_text;
};

}  // namespace mendo
