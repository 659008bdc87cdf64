#pragma once

// What a process costs while it idles, read from /proc: CPU time, resident
// memory and wake-ups of all its threads. A wake-up is a voluntary context
// switch: a sleep (a poll, a blocking read, a timer wait) the thread woke from.

#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>

#include <unistd.h>

namespace mendo::bench {

// A row of /proc/<pid>/status in kB ("VmRSS", "RssAnon"); -1 when it
// cannot be read.
inline qint64 statusKb(qint64 pid, const QByteArray& row)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(row + ':'))
            return line.mid(row.size() + 1).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

struct ProcessSample {
    // User plus system CPU time in clock ticks; -1 when the process is gone.
    qint64 cpuTicks = -1;
    qint64 residentKb = -1;
    // Voluntary context switches of each thread, by thread id.
    QMap<QString, qint64> wakeUps;

    static ProcessSample of(qint64 pid)
    {
        ProcessSample sample;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            return sample;
        // Fields after the command name, which is in parentheses.
        const QByteArray line = stat.readAll();
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        sample.cpuTicks = fields.value(11).toLongLong() + fields.value(12).toLongLong();
        sample.residentKb = statusKb(pid, "VmRSS");
        const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
        for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile taskStatus(tasks.filePath(task + QStringLiteral("/status")));
            if (!taskStatus.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray& row : taskStatus.readAll().split('\n')) {
                if (row.startsWith("voluntary_ctxt_switches:"))
                    sample.wakeUps.insert(task, row.mid(24).trimmed().toLongLong());
            }
        }
        return sample;
    }
};

struct ProcessUsage {
    double cpuPercent = 0;
    double wakeUpsPerSecond = 0;
    // At the end.
    qint64 residentKb = -1;

    // Between two samples `seconds` apart. Wake-ups count for the threads
    // that lived through both (a thread ending in between would count
    // negative) and for those born since.
    static ProcessUsage between(const ProcessSample& before, const ProcessSample& after, double seconds)
    {
        qint64 wakeUps = 0;
        for (auto it = after.wakeUps.begin(); it != after.wakeUps.end(); ++it)
            wakeUps += it.value() - before.wakeUps.value(it.key(), 0);
        return { 100.0 * double(after.cpuTicks - before.cpuTicks) / double(sysconf(_SC_CLK_TCK)) / seconds,
            double(wakeUps) / seconds, after.residentKb };
    }
};

}  // namespace mendo::bench
