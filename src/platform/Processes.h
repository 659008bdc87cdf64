#pragma once

#include "base/Async.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace mendo {

// How a child process ended.
struct ProcessExit {
    // 0 for success; a crash counts as a failure whatever its code.
    int exitCode = 0;
    bool crashed = false;
    QByteArray standardError;

    bool succeeded() const { return !crashed && exitCode == 0; }
};

// Starting other programs. Main thread only.
class Processes {
public:
    virtual ~Processes() = default;

    // Runs `program` with `arguments` (no shell) and waits until it exits. Its
    // standard input and output stay MendoAI's own; its standard error is
    // collected. Throws a MendoError with the platform's message when the
    // program cannot be started.
    virtual Task<ProcessExit> run(QString program, QStringList arguments) = 0;
    // Starts `program` without waiting for it; false when it could not start.
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
    // The path of an executable of this name on the search path; empty when
    // there is none.
    virtual QString findExecutable(const QString& name) const = 0;
};

}  // namespace mendo
