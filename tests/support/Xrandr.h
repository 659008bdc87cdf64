#pragma once

// `xrandr` run against one X server, for the display tests and benchmarks on
// Xorg's dummy outputs (scripts/with-xorg-dummy.sh).

#include <QProcess>
#include <QString>
#include <QStringList>

#include <optional>

namespace mendo::testing {

// Whether it worked, and what it printed.
inline std::optional<QString> runXrandr(const QString& display, const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("xrandr"), QStringList { QStringLiteral("-d"), display } + arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace mendo::testing
