#pragma once

#include <QDateTime>
#include <QString>

namespace mendo {

// One recorded copy: the trimmed text, when it was copied and its length in
// user-perceived characters.
struct ClipboardHistoryItem {
    QString id;
    QString text;
    QDateTime createdAt;
    qint64 chars = 0;

    bool operator==(const ClipboardHistoryItem&) const = default;
};

}  // namespace mendo
