#pragma once

#include "base/Clock.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <deque>
#include <memory>
#include <optional>

class QTcpServer;
class QTcpSocket;

namespace mendo {

// A stand-in for the maker's HTTP service on 127.0.0.1: it records every
// request and answers from a script. Unit tests use it in-process; the
// mendo_mock_service program wraps it for end-to-end runs.
class MockAiService : public QObject {
    Q_OBJECT
public:
    struct Request {
        QByteArray method;
        QString path;
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;

        // The first header of that name, compared without regard to case.
        std::optional<QByteArray> header(const QByteArray& name) const;
        // The body as a JSON object (empty when it is not one).
        QJsonObject json() const;
        QJsonObject toJson() const;
    };

    struct Answer {
        int status = 200;
        QByteArray body;
        QByteArray contentType = QByteArrayLiteral("application/json");
        Millis delay { 0 };
        // Never answer: the connection stays open and silent.
        bool hold = false;
        // Only for requests to this path (the query aside); empty means any
        // path.
        QString path;
        // Stays in the script after it was given.
        bool repeat = false;

        static Answer json(int status, const QJsonObject& object);
        // 200 with {"result": text}.
        static Answer result(const QString& text);
        // From {"status", "body" (text) or "json" (any JSON), "contentType",
        // "delayMs", "hold", "path", "repeat"}.
        static std::optional<Answer> fromJson(const QJsonObject& object, QString* error = nullptr);
    };

    // Delays run on `clock`, so a test on virtual time decides when an answer
    // leaves.
    explicit MockAiService(Clock& clock, QObject* parent = nullptr);
    ~MockAiService() override;

    // Port 0 picks a free one.
    bool listen(quint16 port = 0);
    quint16 port() const;
    QString baseURL() const;
    QString aiURL() const { return baseURL() + QStringLiteral("/macos/ai"); }
    static constexpr const char* updatePath = "/macos/app/version";

    // Answers are given in the order they were queued, the first one whose
    // path matches; with none left, the fallback (500 with an "error").
    void enqueue(Answer answer);
    void enqueue(const QList<Answer>& answers);
    void setFallback(Answer answer) { m_fallback = std::move(answer); }
    void clear();

    const QList<Request>& requests() const { return m_requests; }

Q_SIGNALS:
    void requestReceived(const mendo::MockAiService::Request& request);

private:
    struct Connection;
    void onNewConnection();
    void onReadyRead(Connection* connection);
    void respond(Connection* connection, const Request& request);
    Answer takeAnswer(const QString& path);

    Clock& m_clock;
    QTcpServer* m_server;
    std::deque<Answer> m_script;
    Answer m_fallback;
    QList<Request> m_requests;
    std::vector<std::unique_ptr<Connection>> m_connections;
};

}  // namespace mendo
