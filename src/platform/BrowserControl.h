#pragma once

#include "platform/Workspace.h"

#include <QString>

namespace mendo {

// The web browsers whose pages can be taken out of the tab strip into app
// windows (a window of the browser showing one page, without tabs or address
// bar), and starting such a window. Main thread only.
class BrowserControl {
public:
    virtual ~BrowserControl() = default;

    // Chromium and Google Chrome, by application id ("chromium",
    // "google-chrome") or, where no desktop entry names them, by their
    // WM_CLASS class ("Chromium", "Google-chrome").
    static bool takesAppWindows(const QString& applicationId);

    // Asks the running `browser` for an app window showing `address`, in the
    // profile folder the browser runs with, so that the page keeps the
    // user's logins. The window appears later, if at all. False when no
    // program could be started.
    virtual bool openAppWindow(const RunningApplication& browser, const QString& address) = 0;
};

}  // namespace mendo
