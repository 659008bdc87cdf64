#pragma once

#include "base/Error.h"

namespace mendo {

// The update client's own failures; each description is what the user sees.
class AppUpdateClientError : public MendoError {
public:
    enum class Kind { invalidURL, server, unreadable };

    static AppUpdateClientError invalidURL() { return { Kind::invalidURL, {} }; }
    static AppUpdateClientError server(QString text) { return { Kind::server, std::move(text) }; }
    // The answer is not the JSON the service promises (or is far too large).
    static AppUpdateClientError unreadable() { return { Kind::unreadable, {} }; }

    Kind kind() const { return m_kind; }
    QString description() const override;

private:
    AppUpdateClientError(Kind kind, QString text)
        : m_kind(kind)
        , m_text(std::move(text))
    {
    }

    Kind m_kind;
    QString m_text;
};

}  // namespace mendo
