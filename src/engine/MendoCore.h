#pragma once

#include "engine/BackendClient.h"
#include "engine/NativeActionService.h"

namespace mendo {

// The engine object the application state holds: it owns the native action
// service and that service's own AI service client (separate from the
// clients of the assistant and translation panels). One per process, built by
// the application object.
class MendoCore {
public:
    MendoCore(QString apiURL, AccountCredentials& credentials, QNetworkAccessManager& network, Clock& clock,
        const LanguageDetector& languages, SystemLog* log = nullptr);

    NativeActionService& actions() { return m_actions; }

private:
    BackendClient m_backend;
    NativeActionService m_actions;
};

}  // namespace mendo
