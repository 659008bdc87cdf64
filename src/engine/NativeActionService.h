#pragma once

#include "model/PromptStyle.h"
#include "model/QuickAction.h"
#include "base/Async.h"

#include <QList>

namespace mendo {

class BackendClient;

// Turns a quick action and the selected text into the AI service's answer:
// picks the prompt style and the service action, then asks the client.
class NativeActionService {
public:
    explicit NativeActionService(BackendClient& backend)
        : m_backend(backend)
    {
    }

    BackendClient& backend() { return m_backend; }

    // `styles` is the user's current prompt-style list, `targetLanguage` a
    // language name. Throws MendoCoreError for actions handled elsewhere or
    // styles that no longer exist, and whatever the client throws.
    Task<QString> run(QuickAction action, QString input, QString targetLanguage, QList<PromptStyle> styles);

private:
    BackendClient& m_backend;
};

}  // namespace mendo
