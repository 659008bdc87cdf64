#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <optional>

namespace mendo {

// How the AI service writes a ready-to-send answer to a selected message.
// Built-in ids equal those of the prompt styles; user styles are
// "custom-reply-" followed by 8 lower-case hex digits.
struct AIReplyStyle {
    QString id;
    QString name;
    // The reply instruction.
    QString prompt;
    // "Not assigned" means no hotkey.
    QString hotkey;

    bool operator==(const AIReplyStyle&) const = default;

    // {"id", "name", "prompt", "hotkey"}, all strings.
    QJsonObject toJson() const;
    // All four keys are required as strings; anything else gives nothing.
    static std::optional<AIReplyStyle> fromJson(const QJsonValue& value);
};

}  // namespace mendo
