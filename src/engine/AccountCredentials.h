#pragma once

#include <QString>

namespace mendo {

class UserDefaults;

// What every request to the maker's service identifies itself with. Asked
// afresh for every request, so a token the user replaces applies at once.
class AccountCredentials {
public:
    virtual ~AccountCredentials() = default;
    virtual QString accessToken() = 0;
    virtual QString deviceId() = 0;
};

// The token under "mendo.account.accessToken" (empty when absent) and a
// device identifier made once and kept under "mendo.account.deviceId".
class DefaultsAccountCredentials final : public AccountCredentials {
public:
    explicit DefaultsAccountCredentials(UserDefaults& defaults)
        : m_defaults(defaults)
    {
    }
    QString accessToken() override;
    QString deviceId() override;

private:
    UserDefaults& m_defaults;
};

// The service's base address: "mendo.service.baseURL" when set and not
// blank, else the address the build was configured with.
QString serviceBaseURL(const UserDefaults& defaults);
// The AI endpoint under that base.
QString aiServiceURL(const UserDefaults& defaults);

}  // namespace mendo
