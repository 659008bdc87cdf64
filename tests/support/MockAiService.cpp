#include "support/MockAiService.h"

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTcpServer>
#include <QTcpSocket>
#include <limits>

namespace mendo {

struct MockAiService::Connection {
    QTcpSocket* socket = nullptr;
    QByteArray buffer;
    std::unique_ptr<Timer> pending;
};

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

// Parses one complete request off the front of `buffer`; nothing while it is
// still incomplete.
std::optional<MockAiService::Request> takeRequest(QByteArray& buffer)
{
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        return std::nullopt;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    MockAiService::Request request;
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.path = QString::fromUtf8(requestLine.value(1));
    qsizetype length = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon < 0)
            continue;
        const QByteArray name = lines[i].left(colon).trimmed();
        const QByteArray value = lines[i].mid(colon + 1).trimmed();
        request.headers.append({ name, value });
        if (name.compare("content-length", Qt::CaseInsensitive) == 0)
            length = value.toLongLong();
    }
    const qsizetype bodyStart = headerEnd + 4;
    if (buffer.size() < bodyStart + length)
        return std::nullopt;
    request.body = buffer.mid(bodyStart, length);
    buffer.remove(0, bodyStart + length);
    return request;
}

}  // namespace

std::optional<QByteArray> MockAiService::Request::header(const QByteArray& name) const
{
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return std::nullopt;
}

QJsonObject MockAiService::Request::json() const
{
    return QJsonDocument::fromJson(body).object();
}

QJsonObject MockAiService::Request::toJson() const
{
    QJsonObject headerObject;
    for (const auto& [key, value] : headers)
        headerObject.insert(QString::fromUtf8(key.toLower()), QString::fromUtf8(value));
    return { { QStringLiteral("method"), QString::fromUtf8(method) }, { QStringLiteral("path"), path },
        { QStringLiteral("headers"), headerObject }, { QStringLiteral("body"), QString::fromUtf8(body) } };
}

MockAiService::Answer MockAiService::Answer::json(int status, const QJsonObject& object)
{
    Answer answer;
    answer.status = status;
    answer.body = QJsonDocument(object).toJson(QJsonDocument::Compact);
    return answer;
}

MockAiService::Answer MockAiService::Answer::result(const QString& text)
{
    return json(200, { { QStringLiteral("result"), text } });
}

std::optional<MockAiService::Answer> MockAiService::Answer::fromJson(const QJsonObject& object, QString* error)
{
    Answer answer;
    answer.status = object.value(QStringLiteral("status")).toInt(200);
    if (object.contains(QStringLiteral("json"))) {
        const QJsonValue value = object.value(QStringLiteral("json"));
        answer.body = value.isArray() ? QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact)
                                      : QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
    } else if (object.value(QStringLiteral("body")).isString()) {
        answer.body = object.value(QStringLiteral("body")).toString().toUtf8();
    } else if (object.contains(QStringLiteral("body"))) {
        if (error)
            *error = QStringLiteral("\"body\" must be a string; use \"json\" for JSON");
        return std::nullopt;
    }
    if (object.contains(QStringLiteral("contentType")))
        answer.contentType = object.value(QStringLiteral("contentType")).toString().toUtf8();
    answer.delay = Millis(object.value(QStringLiteral("delayMs")).toInteger(0));
    answer.hold = object.value(QStringLiteral("hold")).toBool(false);
    answer.path = object.value(QStringLiteral("path")).toString();
    answer.repeat = object.value(QStringLiteral("repeat")).toBool(false);
    return answer;
}

MockAiService::MockAiService(Clock& clock, QObject* parent)
    : QObject(parent)
    , m_clock(clock)
    , m_server(new QTcpServer(this))
    , m_fallback(Answer::json(500, { { QStringLiteral("error"), QStringLiteral("No scripted answer.") } }))
{
    connect(m_server, &QTcpServer::newConnection, this, &MockAiService::onNewConnection);
}

MockAiService::~MockAiService()
{
    // Aborting emits disconnected(), whose handler edits the list.
    const auto connections = std::move(m_connections);
    for (const auto& connection : connections) {
        connection->pending.reset();
        connection->socket->disconnect(this);
        connection->socket->abort();
    }
}

bool MockAiService::listen(quint16 port)
{
    return m_server->listen(QHostAddress::LocalHost, port);
}

quint16 MockAiService::port() const
{
    return m_server->serverPort();
}

QString MockAiService::baseURL() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

void MockAiService::enqueue(Answer answer)
{
    m_script.push_back(std::move(answer));
}

void MockAiService::enqueue(const QList<Answer>& answers)
{
    for (const Answer& answer : answers)
        enqueue(answer);
}

void MockAiService::clear()
{
    m_script.clear();
    m_requests.clear();
}

void MockAiService::onNewConnection()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        auto connection = std::make_unique<Connection>();
        connection->socket = socket;
        Connection* raw = connection.get();
        m_connections.push_back(std::move(connection));
        connect(socket, &QTcpSocket::readyRead, this, [this, raw] { onReadyRead(raw); });
        connect(socket, &QTcpSocket::disconnected, this, [this, raw] {
            raw->pending.reset();
            raw->socket->deleteLater();
            std::erase_if(m_connections, [raw](const auto& c) { return c.get() == raw; });
        });
    }
}

void MockAiService::onReadyRead(Connection* connection)
{
    connection->buffer += connection->socket->readAll();
    // One request per connection: every answer closes it.
    if (connection->pending)
        return;
    if (auto request = takeRequest(connection->buffer)) {
        m_requests.append(*request);
        Q_EMIT requestReceived(*request);
        respond(connection, *request);
    }
}

MockAiService::Answer MockAiService::takeAnswer(const QString& target)
{
    // An answer is bound to a path, whatever the query.
    const QString path = target.section(u'?', 0, 0);
    for (auto it = m_script.begin(); it != m_script.end(); ++it) {
        if (!it->path.isEmpty() && it->path != path)
            continue;
        Answer answer = *it;
        if (!answer.repeat)
            m_script.erase(it);
        return answer;
    }
    return m_fallback;
}

void MockAiService::respond(Connection* connection, const Request& request)
{
    const Answer answer = takeAnswer(request.path);
    if (answer.hold) {
        // Marks the connection busy; it never fires.
        connection->pending = m_clock.singleShot(Millis(std::numeric_limits<int>::max()), [] {});
        return;
    }
    QByteArray bytes = "HTTP/1.1 " + QByteArray::number(answer.status) + ' ' + reasonPhrase(answer.status) + "\r\n";
    bytes += "Content-Type: " + answer.contentType + "\r\n";
    bytes += "Content-Length: " + QByteArray::number(answer.body.size()) + "\r\n";
    bytes += "Connection: close\r\n\r\n";
    bytes += answer.body;
    QTcpSocket* socket = connection->socket;
    auto send = [socket, bytes] {
        socket->write(bytes);
        socket->disconnectFromHost();
    };
    // At once without a delay, so a test on virtual time need not advance it.
    if (answer.delay <= Millis(0))
        send();
    else
        connection->pending = m_clock.singleShot(answer.delay, send);
}

}  // namespace mendo
