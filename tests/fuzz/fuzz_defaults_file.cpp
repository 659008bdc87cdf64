// The user-defaults file as anyone may have left it: any bytes read without a
// crash, and whatever reads as settings is written back and read again to the
// very same values.
#include "platform/DefaultsFileFormat.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    QString error;
    const std::optional<QVariantMap> values = mendo::defaults_file::decode(text, &error);
    if (!values)
        return 0;
    const QByteArray written = mendo::defaults_file::encode(*values);
    const std::optional<QVariantMap> again = mendo::defaults_file::decode(written, &error);
    if (!again || mendo::defaults_file::encode(*again) != written)
        std::abort();
    return 0;
}
