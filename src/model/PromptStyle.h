#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <optional>

namespace mendo {

// One way of rewriting selected text. Built-in styles carry fixed ids; user
// styles are "custom-" followed by 8 lower-case hex digits.
struct PromptStyle {
    QString id;
    QString name;
    // Shown and edited in the settings window; never sent to the service.
    QString prompt;
    // "Not assigned" means no hotkey.
    QString hotkey;
    bool autoReplace = true;

    bool operator==(const PromptStyle&) const = default;

    // {"id", "name", "prompt", "hotkey": strings, "autoReplace": boolean}.
    QJsonObject toJson() const;
    // All five keys are required with their JSON types; anything else gives nothing.
    static std::optional<PromptStyle> fromJson(const QJsonValue& value);
};

}  // namespace mendo
