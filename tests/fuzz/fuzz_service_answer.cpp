// Answers of the AI text service, whatever a broken server or a proxy sends:
// the first two bytes pick the HTTP status, the rest is the body. Each gives
// a non-empty result or one of the client's errors, never a crash.
#include "engine/BackendClient.h"
#include "base/Error.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const int status = 100 + (data[0] << 8 | data[1]) % 500;
    const QByteArray body(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    try {
        const QString result = mendo::BackendClient::resultOfAnswer(status, body);
        if (result.isEmpty() || status < 200 || status > 299)
            std::abort();
        mendo::looksLikeBadReply(result, QString::fromUtf8(body));
    } catch (const mendo::MendoError& error) {
        if (error.description().isEmpty())
            std::abort();
    }
    return 0;
}
