#include "engine/HttpExchange.h"

#include "engine/BackendClientError.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrl>
#include <qcoro/qcoronetworkreply.h>

#include <memory>

namespace mendo {

namespace {

// The connection or the proxy failed, as opposed to an answer whose status
// Qt also reports as an error (4xx, 5xx, a redirect going nowhere): such an
// answer's body and status still decide.
bool isTransportError(QNetworkReply::NetworkError error)
{
    const int code = int(error);
    return code > 0 && code < 200;
}

}  // namespace

bool isAcceptableServiceURL(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == u"https")
        return true;
    if (scheme != u"http")
        return false;
    const QString host = url.host();
    if (host.compare(u"localhost", Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

Task<HttpAnswer> exchangeHttp(QNetworkAccessManager& network, Clock& clock, QNetworkRequest request, QByteArray verb,
    QByteArray body, HttpTimeouts timeouts, qint64 maxBodyBytes)
{
    // A redirect elsewhere would carry the token along.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);

    // Also when the call is torn down mid-transfer (at exit): nothing may
    // reach this frame through the reply's signals any more.
    std::unique_ptr<QNetworkReply, void (*)(QNetworkReply*)> reply(
        network.sendCustomRequest(request, verb, body), [](QNetworkReply* r) {
            QObject::disconnect(r, nullptr, nullptr, nullptr);
            r->abort();
            r->deleteLater();
        });
    QNetworkReply* const raw = reply.get();

    // Aborting is queued so that the coroutine never resumes inside a timer
    // callback.
    bool timedOut = false;
    bool tooLarge = false;
    auto expire = [raw, &timedOut] {
        timedOut = true;
        QMetaObject::invokeMethod(raw, &QNetworkReply::abort, Qt::QueuedConnection);
    };
    std::unique_ptr<Timer> whole = clock.singleShot(timeouts.whole, expire);
    std::unique_ptr<Timer> idle = clock.singleShot(timeouts.firstData, expire);
    auto dataArrived = [&clock, &idle, &timeouts, &tooLarge, raw, maxBodyBytes, expire] {
        idle = clock.singleShot(timeouts.betweenData, expire);
        if (maxBodyBytes >= 0 && raw->bytesAvailable() > maxBodyBytes && !tooLarge) {
            tooLarge = true;
            QMetaObject::invokeMethod(raw, &QNetworkReply::abort, Qt::QueuedConnection);
        }
    };
    const auto c1 = QObject::connect(raw, &QNetworkReply::metaDataChanged, raw, dataArrived);
    const auto c2 = QObject::connect(raw, &QNetworkReply::readyRead, raw, dataArrived);

    co_await qCoro(raw).waitForFinished(std::chrono::milliseconds(-1));

    QObject::disconnect(c1);
    QObject::disconnect(c2);
    whole.reset();
    idle.reset();

    if (timedOut)
        throw NetworkError::timedOut();
    HttpAnswer answer;
    const QVariant status = raw->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (tooLarge) {
        answer.status = status.isValid() ? status.toInt() : 0;
        answer.tooLarge = true;
        co_return answer;
    }
    if (isTransportError(raw->error()) || (!status.isValid() && raw->error() != QNetworkReply::NoError))
        throw NetworkError(raw->error(), raw->errorString());
    answer.status = status.isValid() ? status.toInt() : 0;
    answer.body = raw->readAll();
    co_return answer;
}

}  // namespace mendo
