#pragma once

#include "base/Async.h"
#include "base/Clock.h"

#include <QByteArray>
#include <QNetworkRequest>

class QNetworkAccessManager;
class QUrl;

namespace mendo {

struct HttpAnswer {
    int status = 0;
    QByteArray body;
    // The body grew past the caller's limit and was not read to its end.
    bool tooLarge = false;
};

// How long a transfer may take: until the answer begins, between two pieces
// of data, and in all.
struct HttpTimeouts {
    Millis firstData;
    Millis betweenData;
    Millis whole;
};

// Only https, or http to this machine (a local test service): elsewhere the
// account's token and the user's text could be read on the way.
bool isAcceptableServiceURL(const QUrl& url);

// One HTTP exchange of the maker's services, its timeouts on `clock`.
// Failures below HTTP (no connection, time out, broken TLS) throw
// NetworkError; any answer with a status, 4xx and 5xx included, comes back
// for its body and status to decide. `maxBodyBytes` < 0 means no limit.
Task<HttpAnswer> exchangeHttp(QNetworkAccessManager& network, Clock& clock, QNetworkRequest request, QByteArray verb,
    QByteArray body, HttpTimeouts timeouts, qint64 maxBodyBytes = -1);

}  // namespace mendo
