#pragma once

#include <QDateTime>
#include <QString>
#include <QUuid>

namespace mendo {

// One question and answer of the assistant's transcript. In reply mode the
// request is the message being answered and the result the reply.
struct AssistantConversationTurn {
    // New whenever a turn is made or replaced, so views keyed by it redraw.
    QUuid id;
    // As the user typed it, trimmed.
    QString request;
    QString result;
    QDateTime at;

    bool operator==(const AssistantConversationTurn&) const = default;
};

}  // namespace mendo
