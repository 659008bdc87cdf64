#pragma once

#include <QUrl>

namespace mendo {

// Hands an address to the desktop (the default browser for https, the mail
// client for mailto).
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // False when no application could be started for it.
    virtual bool open(const QUrl& url) = 0;
};

}  // namespace mendo
