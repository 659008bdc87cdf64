#pragma once

#include "base/Error.h"

#include <QNetworkReply>

namespace mendo {

// The AI service client's own failures; each description is what the user sees.
class BackendClientError : public MendoError {
public:
    enum class Kind { server, invalidURL, emptyInput, emptyResult };

    static BackendClientError server(QString message) { return { Kind::server, std::move(message) }; }
    static BackendClientError invalidURL() { return { Kind::invalidURL, {} }; }
    static BackendClientError emptyInput() { return { Kind::emptyInput, {} }; }
    static BackendClientError emptyResult() { return { Kind::emptyResult, {} }; }

    Kind kind() const { return m_kind; }
    // The service's message for `server`, empty otherwise.
    const QString& message() const { return m_message; }
    QString description() const override;

private:
    BackendClientError(Kind kind, QString message)
        : m_kind(kind)
        , m_message(std::move(message))
    {
    }

    Kind m_kind;
    QString m_message;
};

// A transfer that failed below HTTP: no connection, no answer in time, a
// broken secure connection. One table gives each a plain English sentence.
class NetworkError : public MendoError {
public:
    explicit NetworkError(QNetworkReply::NetworkError code, QString detail = {})
        : m_code(code)
        , m_detail(std::move(detail))
    {
    }
    static NetworkError timedOut() { return NetworkError(QNetworkReply::TimeoutError); }

    QNetworkReply::NetworkError code() const { return m_code; }
    QString description() const override;

private:
    QNetworkReply::NetworkError m_code;
    QString m_detail;
};

// An answer body that is not the JSON the service promises.
class DecodingError : public MendoError {
public:
    explicit DecodingError(QString detail)
        : m_detail(std::move(detail))
    {
    }
    QString description() const override;
    const QString& detail() const { return m_detail; }

private:
    QString m_detail;
};

}  // namespace mendo
