#pragma once

#include <QString>

namespace mendo {

// A folder that holds the user's own data (notes, clipboard history): made
// with mode 0700 when missing, and trusted only when it is a real directory
// (not a symbolic link) that belongs to this user. A folder the user owns
// whose mode lets others in is narrowed to 0700. Anything else (a folder
// prepared by another user in a shared place, a link) is refused: whoever
// owns the folder can read and replace what is written into it.
class PrivateFolder {
public:
    // Empty when `path` can be used; otherwise why not. A missing folder is
    // made only when `create` is set (and is fine otherwise: nothing is in it).
    static QString prepare(const QString& path, bool create = true);
};

}  // namespace mendo
