#pragma once

#include "platform/UrlOpener.h"

namespace mendo {

// QDesktopServices, which runs xdg-open on X11 desktops.
class DesktopUrlOpener final : public UrlOpener {
public:
    bool open(const QUrl& url) override;
};

}  // namespace mendo
