#pragma once

#include "platform/atspi/AtspiObjects.h"

#include <QHash>

#include <memory>

namespace mendo::atspi {

// What a walk down an application's tree reads of each element (its role,
// its states and its children), read for many elements at once. Read one
// after another, each element costs three round trips to the application;
// here the questions about a whole level of the tree go out together, so the
// walk costs about one round trip per level. Main thread.
class ReadAhead {
public:
    struct Element {
        AtspiRole role = ATSPI_ROLE_INVALID;
        quint64 states = 0;
        // Unknown when a child lives in another application: the walk reads
        // them itself then.
        std::optional<QList<AtspiAccessible*>> children;

        bool has(AtspiStateType state) const { return (states >> int(state)) & 1U; }
    };

    // The elements a walk from `root` can reach: at most `depth` levels below
    // it and, in tree order, the first `count` of them; a hidden element or a
    // web area is not entered, since no walk enters one. Each call waits at
    // most `timeoutMs`; the first running into it is noted (callTimedOut())
    // and ends the reading, as a later one does without being noted (the
    // application answered, just not that much that fast). Null when nothing
    // could be read.
    static std::shared_ptr<const ReadAhead> read(AtspiAccessible* root, int depth, int count, int timeoutMs);

    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;
    ~ReadAhead();

    // What was read of `object`; null when it was not.
    const Element* find(AtspiAccessible* object) const;
    int size() const { return int(m_elements.size()); }

private:
    ReadAhead() = default;

    QHash<AtspiAccessible*, Element> m_elements;
    // A reference of every object named above.
    QList<AtspiAccessible*> m_held;
};

}  // namespace mendo::atspi
