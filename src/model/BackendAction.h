#pragma once

#include "base/EnumTable.h"

namespace mendo {

// The service action of one call to the AI text service. The words sent on
// the wire per action belong to the service client.
enum class BackendAction { fix, improve, emoji, translate, assistant, reply };

template <> struct EnumTraits<BackendAction> {
    static constexpr std::array<EnumCase<BackendAction>, 6> cases { {
        { BackendAction::fix, "fix" },
        { BackendAction::improve, "improve" },
        { BackendAction::emoji, "emoji" },
        { BackendAction::translate, "translate" },
        { BackendAction::assistant, "assistant" },
        { BackendAction::reply, "reply" },
    } };
};

}  // namespace mendo
