#include "updates/AppUpdateResponse.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QVariant>

#include <cmath>

namespace mendo {

namespace {

// Thrown only inside decode(), which turns it into its result.
struct WrongType {
    QString why;
};

bool absent(const QJsonValue& value)
{
    return value.isUndefined() || value.isNull();
}

std::optional<bool> boolean(const QJsonObject& o, const char* key)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (absent(v))
        return std::nullopt;
    if (!v.isBool())
        throw WrongType { QStringLiteral("\"%1\" is not a boolean").arg(QLatin1String(key)) };
    return v.toBool();
}

std::optional<QString> text(const QJsonObject& o, const char* key)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (absent(v))
        return std::nullopt;
    if (!v.isString())
        throw WrongType { QStringLiteral("\"%1\" is not a string").arg(QLatin1String(key)) };
    return v.toString();
}

std::optional<qint64> integer(const QJsonObject& o, const char* key)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (absent(v))
        return std::nullopt;
    const WrongType wrong { QStringLiteral("\"%1\" is not a 64-bit integer").arg(QLatin1String(key)) };
    if (!v.isDouble())
        throw wrong;
    // The parser keeps integers that fit 64 bits exactly; the rest arrive as
    // doubles, which count only when whole and within the exact range.
    const QVariant variant = v.toVariant();
    if (variant.typeId() == QMetaType::LongLong)
        return variant.toLongLong();
    const double d = v.toDouble();
    constexpr double exact = 9007199254740992.0;  // 2^53
    if (std::trunc(d) != d || std::fabs(d) > exact)
        throw wrong;
    return qint64(d);
}

std::optional<LocalizedUpdateText> localized(const QJsonObject& o, const char* key)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (absent(v))
        return std::nullopt;
    LocalizedUpdateText result;
    if (v.isString()) {
        result.fallback = v.toString();
        return result;
    }
    if (!v.isObject())
        throw WrongType { QStringLiteral("\"%1\" is neither a string nor an object").arg(QLatin1String(key)) };
    const QJsonObject languages = v.toObject();
    result.en = text(languages, "en");
    result.ru = text(languages, "ru");
    return result;
}

}  // namespace

std::optional<QString> LocalizedUpdateText::value(UiLanguage language) const
{
    const std::optional<QString>& asked = language == UiLanguage::ru ? ru : en;
    for (const auto* candidate : { &asked, &fallback, &en, &ru })
        if (*candidate)
            return *candidate;
    return std::nullopt;
}

std::optional<AppUpdateResponse> AppUpdateResponse::decode(const QByteArray& body, QString* why)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        if (why)
            *why = parseError.error != QJsonParseError::NoError
                ? QStringLiteral("not JSON at offset %1: %2").arg(parseError.offset).arg(parseError.errorString())
                : QStringLiteral("not a JSON object");
        return std::nullopt;
    }
    const QJsonObject o = document.object();
    try {
        AppUpdateResponse r;
        r.ok = boolean(o, "ok");
        r.updateAvailable = boolean(o, "update_available");
        r.forceUpdate = boolean(o, "force_update");
        r.latestVersion = text(o, "latest_version");
        r.latestBuild = integer(o, "latest_build");
        r.minSupportedBuild = integer(o, "min_supported_build");
        r.downloadURL = text(o, "download_url");
        r.sha256 = text(o, "sha256");
        r.publishedAt = text(o, "published_at");
        r.title = localized(o, "title");
        r.message = localized(o, "message");
        r.releaseNotes = localized(o, "release_notes");
        r.error = text(o, "error");
        return r;
    } catch (const WrongType& wrong) {
        if (why)
            *why = wrong.why;
        return std::nullopt;
    }
}

AppUpdateSnapshot AppUpdateResponse::snapshot(
    UiLanguage language, const QDateTime& checkedAt, qint64 currentBuild) const
{
    AppUpdateSnapshot s;
    s.checkedAt = checkedAt;
    s.updateAvailable = updateAvailable ? *updateAvailable : latestBuild && *latestBuild > currentBuild;
    s.forceUpdate = forceUpdate ? *forceUpdate : minSupportedBuild && currentBuild < *minSupportedBuild;
    s.latestVersion = latestVersion;
    s.latestBuild = latestBuild;
    if (downloadURL) {
        const QUrl url(*downloadURL, QUrl::StrictMode);
        if (url.isValid() && url.scheme() == u"https" && !url.host().isEmpty())
            s.downloadURL = url;
    }
    s.sha256 = sha256;
    s.publishedAt = publishedAt;
    const auto localize
        = [language](const std::optional<LocalizedUpdateText>& t) { return t ? t->value(language) : std::nullopt; };
    s.title = localize(title);
    s.message = localize(message);
    s.releaseNotes = localize(releaseNotes);
    return s;
}

}  // namespace mendo
