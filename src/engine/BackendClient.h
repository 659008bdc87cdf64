#pragma once

#include "model/AIReplyStyle.h"
#include "model/BackendAction.h"
#include "model/PromptStyle.h"
#include "base/Async.h"
#include "engine/HttpExchange.h"

#include <QJsonObject>
#include <QString>
#include <optional>

class QNetworkAccessManager;

namespace mendo {

class AccountCredentials;
class Clock;
class LanguageDetector;
class SystemLog;

// Everything a call passes besides the text, the action and the style.
struct BackendSendOptions {
    QString targetLanguage;
    bool retryOnUnchangedTranslation = false;
    QString assistantSessionId;
    bool assistantKeepContext = false;
    QString userInstruction;
    QString replyTo;
    QString keyboardLanguage;
    std::optional<bool> forceRewrite;
    std::optional<QString> styleIntensity;
};

// The only component that talks to the AI text service: one JSON POST per
// piece of at most 2500 characters, each answer checked and cleaned. It keeps
// no state between calls, so calls of several callers may be in flight at once.
//
// All clients share one QNetworkAccessManager and one Clock, owned by the
// application object. Failures arrive as exceptions: BackendClientError,
// NetworkError or DecodingError.
class BackendClient {
public:
    static constexpr qsizetype maxPieceChars = 2500;

    // `log` receives the detail of answers that could not be decoded, which
    // the user is spared.
    BackendClient(QString apiURL, AccountCredentials& credentials, QNetworkAccessManager& network, Clock& clock,
        const LanguageDetector& languages, SystemLog* log = nullptr);

    const QString& apiURL() const { return m_apiURL; }

    // The cleaned result for `text`. Parameters are taken by value: the call
    // outlives its caller's temporaries.
    Task<QString> send(QString text, BackendAction action, PromptStyle style, BackendSendOptions options);

    // A ready-to-send reply to a chat message; asked once more with a forced
    // rewrite when the answer merely hands the message back.
    Task<QString> sendReply(QString message, AIReplyStyle style, QString targetLanguage);

    static QString serverWritingStyle(const PromptStyle& style);
    static QString replyUserInstruction(const AIReplyStyle& style);
    // The request body of one piece (already trimmed).
    static QJsonObject requestBody(
        const QString& text, BackendAction action, const PromptStyle& style, const BackendSendOptions& options);

private:
    Task<QString> sendPiece(QString text, BackendAction action, PromptStyle style, BackendSendOptions options);
    Task<HttpAnswer> post(QUrl url, QByteArray body);

    QString m_apiURL;
    AccountCredentials& m_credentials;
    QNetworkAccessManager& m_network;
    Clock& m_clock;
    const LanguageDetector& m_languages;
    SystemLog* m_log;
};

// The comparison form of the reply check: lower-case words of letters, marks
// and digits, separated by single spaces.
QString plainForReplyCompare(const QString& text);
// Whether an answer is not a reply at all: empty, an echo of the message,
// an echo of the instruction, or nearly the same words.
bool looksLikeBadReply(const QString& reply, const QString& source);

}  // namespace mendo
