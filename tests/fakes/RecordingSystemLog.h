#pragma once

#include "base/SystemLog.h"

#include <QStringList>

namespace mendo {

class RecordingSystemLog final : public SystemLog {
public:
    void write(const QString& message) override { lines.append(withPrefix(message)); }
    QStringList lines;
};

}  // namespace mendo
