#pragma once

#include "app/AppStateFollower.h"
#include "model/AIReplyStyle.h"

#include <QStringList>

namespace mendo {

// The assistant chat panel's controller, one per process. The panel is not
// built yet: the controller follows the settings it would show, and a request
// to show it is only recorded.
class AssistantPanelController : public AppStateFollower {
public:
    using AppStateFollower::AppStateFollower;

    // Chat mode with the selected text as context (possibly empty).
    virtual void show(const QString& context) { m_requests << QStringLiteral("chat [%1]").arg(context); }
    // Reply mode for `message` in `style`, answering in `targetLanguage`.
    virtual void showReply(const QString& message, const AIReplyStyle& style, const QString& targetLanguage)
    {
        m_requests << QStringLiteral("reply [%1] %2 %3").arg(message, style.id, targetLanguage);
    }
    const QStringList& showRequests() const { return m_requests; }

private:
    QStringList m_requests;
};

}  // namespace mendo
