#pragma once

#include "platform/UserDefaults.h"

#include <QMap>

namespace mendo {

// User defaults in memory; `values` can be filled directly to stage a stored
// profile (also with values of the wrong type).
class MemoryUserDefaults final : public UserDefaults {
public:
    std::optional<QVariant> object(const QString& key) const override
    {
        auto it = values.find(key);
        if (it == values.end())
            return std::nullopt;
        return *it;
    }
    void set(const QString& key, const QVariant& value) override
    {
        values.insert(key, value);
        ++writes;
        Q_EMIT changed(key);
    }
    void remove(const QString& key) override
    {
        values.remove(key);
        ++writes;
        Q_EMIT changed(key);
    }
    QStringList keys() const override { return values.keys(); }

    QMap<QString, QVariant> values;
    int writes = 0;
};

}  // namespace mendo
