#pragma once

#include "platform/Processes.h"

namespace mendo {

// Processes through QProcess.
class QtProcesses final : public Processes {
public:
    Task<ProcessExit> run(QString program, QStringList arguments) override;
    bool startDetached(const QString& program, const QStringList& arguments) override;
    QString findExecutable(const QString& name) const override;
};

}  // namespace mendo
