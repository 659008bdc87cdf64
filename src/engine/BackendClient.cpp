#include "engine/BackendClient.h"

#include "base/Clock.h"
#include "base/Json.h"
#include "base/SystemLog.h"
#include "base/Text.h"
#include "engine/AccountCredentials.h"
#include "engine/BackendClientError.h"
#include "engine/BackendText.h"
#include "engine/HttpExchange.h"
#include "model/AIReplyStyleLibrary.h"
#include "platform/LanguageDetector.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <chrono>

namespace mendo {

using namespace std::chrono_literals;

namespace {

const QString model = QStringLiteral("gpt-4.1-mini");

struct Words {
    QString action;
    QString task;
};

Words wordsFor(BackendAction action)
{
    switch (action) {
    case BackendAction::fix:
        return { QStringLiteral("fix"), QStringLiteral("fix") };
    case BackendAction::improve:
        return { QStringLiteral("style_rewrite"), QStringLiteral("style_rewrite") };
    case BackendAction::emoji:
        return { QStringLiteral("emoji"), QStringLiteral("emoji") };
    case BackendAction::translate:
        return { QStringLiteral("translate"), QStringLiteral("translate") };
    case BackendAction::assistant:
        return { QStringLiteral("assistant"), QStringLiteral("assistant") };
    case BackendAction::reply:
        return { QStringLiteral("chat_reply"), QStringLiteral("write_chat_reply") };
    }
    return {};
}

QString optionalString(const QJsonObject& object, const QString& key)
{
    const QJsonValue value = object.value(key);
    if (value.isUndefined() || value.isNull())
        return {};
    if (!value.isString())
        throw DecodingError(QStringLiteral("\"%1\" is not a string").arg(key));
    return value.toString();
}

const QString badReplyMessage = QStringLiteral("AI Reply returned the original message instead of a reply.");

}  // namespace


BackendClient::BackendClient(QString apiURL, AccountCredentials& credentials, QNetworkAccessManager& network,
    Clock& clock, const LanguageDetector& languages, SystemLog* log)
    : m_apiURL(std::move(apiURL))
    , m_credentials(credentials)
    , m_network(network)
    , m_clock(clock)
    , m_languages(languages)
    , m_log(log)
{
}

QString BackendClient::serverWritingStyle(const PromptStyle& style)
{
    static const QSet<QString> known {
        QStringLiteral("friendly"),
        QStringLiteral("emoji"),
        QStringLiteral("polite"),
        QStringLiteral("professional"),
        QStringLiteral("short"),
        QStringLiteral("detailed"),
        QStringLiteral("humor"),
        QStringLiteral("flirt"),
        QStringLiteral("romantic"),
        QStringLiteral("sexy"),
        QStringLiteral("formal"),
        QStringLiteral("casual"),
        QStringLiteral("support"),
        QStringLiteral("expert"),
        QStringLiteral("social"),
    };
    if (known.contains(style.id))
        return style.id.left(1).toUpper() + style.id.mid(1);
    return text::trimmed(style.name);
}

QJsonObject BackendClient::requestBody(
    const QString& text, BackendAction action, const PromptStyle& style, const BackendSendOptions& options)
{
    const Words words = wordsFor(action);
    const bool styled
        = action == BackendAction::improve || action == BackendAction::emoji || action == BackendAction::reply;
    const QString styleWord = styled ? serverWritingStyle(style) : QString();
    QJsonObject body {
        { QStringLiteral("action"), words.action },
        { QStringLiteral("model"), model },
        { QStringLiteral("preferredModel"), model },
        { QStringLiteral("fallbackModel"), model },
        { QStringLiteral("text"), text },
        { QStringLiteral("sourceText"), text },
        { QStringLiteral("targetLanguage"), options.targetLanguage },
        { QStringLiteral("keyboardLanguage"), options.keyboardLanguage },
        { QStringLiteral("writingStyle"), styleWord },
        { QStringLiteral("styleId"), styleWord },
        { QStringLiteral("gender"), QString() },
        { QStringLiteral("voiceGender"), QString() },
        { QStringLiteral("userInstruction"), options.userInstruction },
        { QStringLiteral("replyTo"), action == BackendAction::reply ? options.replyTo : QString() },
        { QStringLiteral("assistantSessionId"), options.assistantSessionId },
        { QStringLiteral("assistantKeepContext"), options.assistantKeepContext },
        { QStringLiteral("keepContext"), options.assistantKeepContext },
        { QStringLiteral("mode"), words.action },
        { QStringLiteral("task"), words.task },
        { QStringLiteral("rewriteMode"), words.action },
        { QStringLiteral("replyMode"), QStringLiteral("chat_reply") },
    };
    if (options.forceRewrite)
        body.insert(QStringLiteral("forceRewrite"), *options.forceRewrite);
    if (options.styleIntensity)
        body.insert(QStringLiteral("styleIntensity"), *options.styleIntensity);
    return body;
}

Task<QString> BackendClient::send(QString text, BackendAction action, PromptStyle style, BackendSendOptions options)
{
    const QString trimmed = text::trimmed(text);
    if (trimmed.isEmpty())
        throw BackendClientError::emptyInput();

    // A question or a chat message cut in two would get two unrelated answers.
    if (action == BackendAction::assistant || action == BackendAction::reply)
        co_return co_await sendPiece(trimmed, action, style, options);

    const auto pieces = splitTextForBackendPieces(trimmed, maxPieceChars);
    if (pieces.size() == 1)
        co_return co_await sendPiece(trimmed, action, style, options);
    QString joined;
    for (const auto& piece : pieces) {
        joined += co_await sendPiece(piece.text, action, style, options);
        joined += piece.joinAfter;
    }
    co_return joined;
}

Task<QString> BackendClient::sendPiece(
    QString text, BackendAction action, PromptStyle style, BackendSendOptions options)
{
    const QUrl url(m_apiURL, QUrl::StrictMode);
    if (!isAcceptableServiceURL(url))
        throw BackendClientError::invalidURL();

    const HttpAnswer answer = co_await post(url, json::compact(requestBody(text, action, style, options)));

    QString parseError;
    const auto object = json::parseObject(answer.body, &parseError);
    if (!object) {
        if (m_log)
            m_log->write(QStringLiteral("AI service answer (HTTP %1) could not be decoded: %2")
                             .arg(answer.status)
                             .arg(parseError));
        throw DecodingError(parseError);
    }
    const QString result = optionalString(*object, QStringLiteral("result"));
    const QString error = optionalString(*object, QStringLiteral("error"));

    if (answer.status < 200 || answer.status > 299) {
        if (object->contains(QStringLiteral("error")) && !object->value(QStringLiteral("error")).isNull())
            throw BackendClientError::server(error);
        throw BackendClientError::server(QStringLiteral("Backend returned HTTP %1.").arg(answer.status));
    }

    static const QRegularExpression dashes(QStringLiteral("[\u2014\u2013]"));
    const QString cleaned = text::trimmed(QString(result).replace(dashes, QStringLiteral("-")));
    if (cleaned.isEmpty())
        throw BackendClientError::emptyResult();

    if (options.retryOnUnchangedTranslation && action == BackendAction::translate
        && normalizeTranslationCompare(cleaned) == normalizeTranslationCompare(text)) {
        PromptStyle retryStyle = style;
        retryStyle.prompt = QStringLiteral("The previous translation output was identical to the source text. "
                                           "Translate it into %1 now.\n"
                                           "Do not return the source text unchanged unless it is already written "
                                           "in %1.\n")
                                .arg(options.targetLanguage)
            + style.prompt;
        BackendSendOptions retryOptions;
        retryOptions.targetLanguage = options.targetLanguage;
        co_return co_await sendPiece(text, BackendAction::translate, retryStyle, retryOptions);
    }
    co_return cleaned;
}

Task<HttpAnswer> BackendClient::post(QUrl url, QByteArray body)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    request.setRawHeader(
        QByteArrayLiteral("Authorization"), QByteArrayLiteral("Bearer ") + m_credentials.accessToken().toUtf8());
    request.setRawHeader(QByteArrayLiteral("x-mendo-device-id"), m_credentials.deviceId().toUtf8());
    // Up to 60 s for the answer to begin, then up to 90 s between pieces of
    // data, and 180 s for the whole transfer.
    co_return co_await exchangeHttp(
        m_network, m_clock, request, QByteArrayLiteral("POST"), std::move(body), { 60s, 90s, 180s });
}

Task<QString> BackendClient::sendReply(QString message, AIReplyStyle style, QString targetLanguage)
{
    const bool translating = style.id == u"translate";
    const QString instruction = replyUserInstruction(style);

    PromptStyle composed;
    composed.id = style.id;
    composed.name = AIReplyStyleLibrary::backendStyleName(style);
    composed.prompt = instruction;
    composed.hotkey = style.hotkey;
    composed.autoReplace = false;

    BackendSendOptions options;
    options.targetLanguage = translating ? targetLanguage : QString();
    options.keyboardLanguage = translating ? targetLanguage : m_languages.dominantLanguage(message);
    options.retryOnUnchangedTranslation = true;
    options.userInstruction = instruction;
    options.replyTo = message;

    const QString first = co_await send(message, BackendAction::reply, composed, options);
    if (!looksLikeBadReply(first, message))
        co_return first;

    options.forceRewrite = true;
    options.styleIntensity = QStringLiteral("maximum");
    const QString second = co_await send(message, BackendAction::reply, composed, options);
    if (!looksLikeBadReply(second, message))
        co_return second;
    throw BackendClientError::server(badReplyMessage);
}

QString BackendClient::replyUserInstruction(const AIReplyStyle& style)
{
    const QString prompt = text::trimmed(style.prompt);
    for (const AIReplyStyle& builtIn : AIReplyStyleLibrary::defaultStyles())
        if (builtIn.id == style.id)
            return prompt == builtIn.prompt ? QString() : prompt;
    return prompt;
}

QString plainForReplyCompare(const QString& text)
{
    const QString lower = text.toLower();
    QString result;
    result.reserve(lower.size());
    bool inWord = false;
    for (qsizetype i = 0; i < lower.size(); ++i) {
        char32_t c = lower[i].unicode();
        qsizetype length = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < lower.size() && lower[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(lower[i], lower[i + 1]);
            length = 2;
        }
        if (QChar::isLetterOrNumber(c) || QChar::isMark(c)) {
            if (!inWord && !result.isEmpty())
                result += u' ';
            result += QStringView(lower).mid(i, length);
            inWord = true;
        } else {
            inWord = false;
        }
        i += length - 1;
    }
    return result;
}

bool looksLikeBadReply(const QString& reply, const QString& source)
{
    static const QStringList markers {
        QStringLiteral("copied chat message"),
        QStringLiteral("reply instruction"),
        QStringLiteral("write one ready to send"),
        QStringLiteral("скопированное сообщение"),
        QStringLiteral("сообщение из чата"),
    };
    const QString r = plainForReplyCompare(reply);
    const QString s = plainForReplyCompare(source);
    if (r.isEmpty())
        return true;
    for (const QString& marker : markers)
        if (r.contains(marker))
            return true;
    // A message of only emoji or punctuation has no words, yet its form may
    // keep a presentation selector ("❤️") that a reply naturally repeats:
    // without a letter or digit it must not reject every reply to it.
    const QList<uint> sourceCodePoints = s.toUcs4();
    const bool sourceHasWords = std::any_of(sourceCodePoints.cbegin(), sourceCodePoints.cend(),
        [](uint c) { return QChar::isLetterOrNumber(char32_t(c)); });
    if (sourceHasWords && r.contains(s))
        return true;
    const qsizetype sLength = text::graphemeCount(s);
    if (sLength >= 25 && r.contains(text::graphemePrefix(s, 80)))
        return true;
    if (sLength >= 18 && text::graphemeCount(r) >= 18) {
        const QStringList rw = r.split(u' ', Qt::SkipEmptyParts);
        const QStringList sw = s.split(u' ', Qt::SkipEmptyParts);
        const QSet<QString> rs(rw.cbegin(), rw.cend());
        const QSet<QString> ss(sw.cbegin(), sw.cend());
        if (!rs.isEmpty() && !ss.isEmpty()) {
            const qsizetype shared = QSet<QString>(rs).intersect(ss).size();
            return double(shared) / double(std::max(rs.size(), ss.size())) > 0.82;
        }
    }
    return false;
}

}  // namespace mendo
