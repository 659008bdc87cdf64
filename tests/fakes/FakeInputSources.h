#pragma once

#include "platform/InputSources.h"

#include <QHash>

namespace mendo {

// Input sources in memory. `add` enables a source (with or without a key
// layout); `select` records every call and makes the source current unless a
// status was queued in `selectStatuses`.
class FakeInputSources final : public InputSources {
public:
    InputSource add(const QString& id, const QString& name, std::optional<KeyLayout> layout = std::nullopt)
    {
        InputSource source { int(list.size()), id, name };
        list.append(source);
        if (layout)
            layouts.insert(source.index, *layout);
        return source;
    }

    // Key codes 10, 11, ... type the characters of `plain` and `shifted` in
    // order; a blank (space) in a row means the key types nothing at that level.
    static KeyLayout layoutFromRows(const QString& plain, const QString& shifted)
    {
        KeyLayout layout;
        for (qsizetype i = 0; i < qMax(plain.size(), shifted.size()); ++i) {
            auto at = [i](const QString& row) {
                return i < row.size() && row.at(i) != QLatin1Char(' ') ? QString(row.at(i)) : QString();
            };
            layout[10 + int(i)] = { at(plain), at(shifted) };
        }
        return layout;
    }

    QList<InputSource> sources() const override { return list; }
    std::optional<InputSource> current() const override
    {
        if (currentIndex < 0 || currentIndex >= list.size())
            return std::nullopt;
        return list.at(currentIndex);
    }
    std::optional<KeyLayout> keyLayout(const InputSource& source) const override
    {
        ++keyLayoutReads;
        auto it = layouts.find(source.index);
        if (it == layouts.end())
            return std::nullopt;
        return *it;
    }
    int select(const InputSource& source) override
    {
        selected.append(source);
        if (!selectStatuses.isEmpty())
            return selectStatuses.takeFirst();
        currentIndex = source.index;
        Q_EMIT changed();
        return 0;
    }

    QList<InputSource> list;
    QHash<int, KeyLayout> layouts;
    int currentIndex = -1;
    QList<int> selectStatuses;
    QList<InputSource> selected;
    mutable int keyLayoutReads = 0;
};

}  // namespace mendo
