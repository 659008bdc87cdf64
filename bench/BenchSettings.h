#pragma once

// Settings records the benchmarks share.

#include "model/MendoSettings.h"

namespace mendo::bench {

// A full profile: the built-in styles and 200 user styles with prompts, each
// also in the quick menu (217 actions in all).
inline MendoSettings fullRecord()
{
    MendoSettings s;
    for (int i = 0; i < 200; ++i) {
        const QString id = QStringLiteral("custom-%1").arg(i, 8, 16, QLatin1Char('0'));
        s.promptStyles.append({ id, QStringLiteral("Style %1").arg(i),
            QStringLiteral("Rewrite the text in the manner number %1, keeping names, links and "
                           "numbers exactly as they are. Return only the text.")
                .arg(i),
            QStringLiteral("Not assigned"), true });
        s.quickMenuActions.append(QStringLiteral("style:") + id);
    }
    s.quickMenuOrder = s.quickMenuActions;
    return s;
}

}  // namespace mendo::bench
