#include "platform/x11/DesktopUrlOpener.h"

#include <QDesktopServices>

namespace mendo {

bool DesktopUrlOpener::open(const QUrl& url)
{
    return url.isValid() && QDesktopServices::openUrl(url);
}

}  // namespace mendo
