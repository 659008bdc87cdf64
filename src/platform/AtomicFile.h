#pragma once

#include <QByteArray>
#include <QString>

namespace mendo {

// Replacing a file so that a crash or a full disk leaves the old file or the
// new one, never a mix: the bytes go to a fresh file (mode 0600) beside it,
// are synced, and the fresh file is renamed over the old one; the folder is
// synced last so that the rename itself survives a power cut.
class AtomicFile {
public:
    // False, with the reason in `error`, when the file was not replaced; the
    // old file is then untouched and no temporary file is left.
    static bool write(const QString& path, const QByteArray& bytes, QString* error = nullptr);

    // Removes what interrupted writes of `path` left behind.
    static void removeStaleTemporaries(const QString& path);
};

}  // namespace mendo
