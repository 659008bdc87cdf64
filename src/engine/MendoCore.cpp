#include "engine/MendoCore.h"

namespace mendo {

MendoCore::MendoCore(QString apiURL, AccountCredentials& credentials, QNetworkAccessManager& network, Clock& clock,
    const LanguageDetector& languages, SystemLog* log)
    : m_backend(std::move(apiURL), credentials, network, clock, languages, log)
    , m_actions(m_backend)
{
}

}  // namespace mendo
