#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <QUuid>
#include <optional>

namespace mendo {

// Switch to a keyboard layout whenever one application becomes active.
struct AppLayoutRule {
    QUuid id;
    // The application id the rule is for.
    QString bundleIdentifier;
    QString appName;
    QString appPath;
    // The name of the input source to switch to.
    QString layoutName;
    bool isEnabled = true;

    bool operator==(const AppLayoutRule&) const = default;

    // Six keys; "id" as the 36-character upper-case UUID text.
    QJsonObject toJson() const;
    // All six keys are required with their types and "id" must be a UUID;
    // anything else gives nothing.
    static std::optional<AppLayoutRule> fromJson(const QJsonValue& value);
};

}  // namespace mendo
