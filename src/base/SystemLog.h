#pragma once

#include <QString>

namespace mendo {

// The few diagnostic lines go to the system log, each beginning "MendoAI ".
class SystemLog {
public:
    virtual ~SystemLog() = default;
    // `message` without the prefix; it is added when missing.
    virtual void write(const QString& message) = 0;

    static QString withPrefix(const QString& message);
};

class SyslogSystemLog final : public SystemLog {
public:
    SyslogSystemLog();
    void write(const QString& message) override;
};

}  // namespace mendo
