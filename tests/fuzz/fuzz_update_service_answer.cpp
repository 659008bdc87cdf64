// Answers of the update service, whatever a broken server or a proxy sends:
// any body decodes or is refused with a reason, never a crash, and what the
// answer means for a running build offers a download only at an https address.
#include "updates/AppUpdateResponse.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray body(reinterpret_cast<const char*>(data), qsizetype(size));
    QString why;
    const std::optional<mendo::AppUpdateResponse> response = mendo::AppUpdateResponse::decode(body, &why);
    if (!response) {
        if (why.isEmpty())
            std::abort();
        return 0;
    }
    const QDateTime checkedAt = QDateTime::fromMSecsSinceEpoch(0, Qt::UTC);
    for (const mendo::UiLanguage language : { mendo::UiLanguage::en, mendo::UiLanguage::ru }) {
        const mendo::AppUpdateSnapshot snapshot = response->snapshot(language, checkedAt, 100);
        if (snapshot.downloadURL
            && (snapshot.downloadURL->scheme() != u"https" || snapshot.downloadURL->host().isEmpty()))
            std::abort();
        if (snapshot.latestBuild != response->latestBuild)
            std::abort();
    }
    return 0;
}
