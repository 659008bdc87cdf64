#include "engine/BackendClientError.h"

namespace mendo {

QString BackendClientError::description() const
{
    switch (m_kind) {
    case Kind::server:
        return m_message;
    case Kind::invalidURL:
        return QStringLiteral("Backend URL is invalid.");
    case Kind::emptyInput:
        return QStringLiteral("No text to process.");
    case Kind::emptyResult:
        return QStringLiteral("AI returned an empty result.");
    }
    return {};
}

QString NetworkError::description() const
{
    using E = QNetworkReply::NetworkError;
    switch (m_code) {
    case E::ConnectionRefusedError:
        return QStringLiteral("Could not connect to the server.");
    case E::HostNotFoundError:
        return QStringLiteral("A server with the specified hostname could not be found.");
    case E::TimeoutError:
    case E::OperationCanceledError:
        return QStringLiteral("The request timed out.");
    case E::RemoteHostClosedError:
        return QStringLiteral("The network connection was lost.");
    case E::SslHandshakeFailedError:
        return QStringLiteral("A TLS error caused the secure connection to fail.");
    case E::TemporaryNetworkFailureError:
    case E::NetworkSessionFailedError:
        return QStringLiteral("The Internet connection appears to be offline.");
    case E::ProxyConnectionRefusedError:
    case E::ProxyConnectionClosedError:
    case E::ProxyNotFoundError:
    case E::ProxyTimeoutError:
    case E::ProxyAuthenticationRequiredError:
        return QStringLiteral("Could not connect to the proxy server.");
    case E::TooManyRedirectsError:
    case E::InsecureRedirectError:
        return QStringLiteral("The server redirected the request to another address.");
    default:
        break;
    }
    if (m_detail.isEmpty())
        return QStringLiteral("The network request failed.");
    return QStringLiteral("The network request failed: %1").arg(m_detail);
}

QString DecodingError::description() const
{
    // The parser's detail means nothing to the user; it goes to the log.
    return QStringLiteral("The AI service's answer could not be read.");
}

}  // namespace mendo
