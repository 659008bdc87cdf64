#pragma once

class QApplication;

namespace mendo {

// The whole life of the `mendo` process after Qt is up: one instance per user
// session (a second launch hands over and exits), the real desktop, the
// application object, and the signals that end it through the normal quit
// path. Returns the process's exit code.
int runMendoProcess(QApplication& app);

}  // namespace mendo
