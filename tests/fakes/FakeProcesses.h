#pragma once

#include "base/Clock.h"
#include "base/Error.h"
#include "platform/Processes.h"

#include <QHash>
#include <QStringList>

namespace mendo {

// Programs in memory. Every run is recorded as "program arg arg"; it takes
// `runTime` on `clock` (when given), then ends with the next queued exit, or
// success. With `launchError` set, no program starts.
class FakeProcesses final : public Processes {
public:
    Task<ProcessExit> run(QString program, QStringList arguments) override
    {
        runs << (QStringList { program } + arguments).join(QLatin1Char(' '));
        if (!launchError.isEmpty())
            throw MessageError(launchError);
        if (clock && runTime.count() > 0)
            co_await clock->sleep(runTime);
        co_return exits.isEmpty() ? ProcessExit {} : exits.takeFirst();
    }
    bool startDetached(const QString& program, const QStringList& arguments) override
    {
        started << (QStringList { program } + arguments).join(QLatin1Char(' '));
        return startSucceeds;
    }
    QString findExecutable(const QString& name) const override { return installed.value(name); }

    Clock* clock = nullptr;
    Millis runTime { 0 };
    QString launchError;
    QList<ProcessExit> exits;
    QStringList runs;
    // Executable name -> its path.
    QHash<QString, QString> installed;
    bool startSucceeds = true;
    QStringList started;
};

}  // namespace mendo
