#pragma once

#include "base/UiLanguage.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QUrl>

#include <optional>

namespace mendo {

// A text the update service sends either as one plain string or as
// {"en": ..., "ru": ...}.
struct LocalizedUpdateText {
    std::optional<QString> en;
    std::optional<QString> ru;
    std::optional<QString> fallback;

    // The asked language's text, else the plain one, else English, else
    // Russian. An empty text counts as present.
    std::optional<QString> value(UiLanguage language) const;
};

// The result of one successful update check.
struct AppUpdateSnapshot {
    std::optional<QDateTime> checkedAt;
    bool updateAvailable = false;
    bool forceUpdate = false;
    std::optional<QString> latestVersion;
    std::optional<qint64> latestBuild;
    // Only an https address: anything else could open a local file or start
    // a scheme handler on the user's desktop.
    std::optional<QUrl> downloadURL;
    // Kept as the service sent it; nothing verifies it.
    std::optional<QString> sha256;
    std::optional<QString> publishedAt;
    std::optional<QString> title;
    std::optional<QString> message;
    std::optional<QString> releaseNotes;

    static AppUpdateSnapshot empty() { return {}; }
    bool operator==(const AppUpdateSnapshot&) const = default;
};

// The update service's answer. Every key is optional and null counts as
// absent; a present key of the wrong type fails the whole answer.
struct AppUpdateResponse {
    std::optional<bool> ok;
    std::optional<bool> updateAvailable;
    std::optional<bool> forceUpdate;
    std::optional<QString> latestVersion;
    std::optional<qint64> latestBuild;
    std::optional<qint64> minSupportedBuild;
    std::optional<QString> downloadURL;
    std::optional<QString> sha256;
    std::optional<QString> publishedAt;
    std::optional<LocalizedUpdateText> title;
    std::optional<LocalizedUpdateText> message;
    std::optional<LocalizedUpdateText> releaseNotes;
    std::optional<QString> error;

    // Nothing when the body is not such an answer; `why` then says what.
    static std::optional<AppUpdateResponse> decode(const QByteArray& body, QString* why = nullptr);

    // What the answer means for a running build `currentBuild`.
    AppUpdateSnapshot snapshot(UiLanguage language, const QDateTime& checkedAt, qint64 currentBuild) const;
};

}  // namespace mendo
