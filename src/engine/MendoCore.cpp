#include "engine/MendoCore.h"

namespace mendo {

MendoCore::MendoCore(QString apiURL, AccountCredentials& credentials, QNetworkAccessManager& network, Clock& clock,
    const LanguageDetector& languages)
    : m_backend(std::move(apiURL), credentials, network, clock, languages)
    , m_actions(m_backend)
{
}

}  // namespace mendo
