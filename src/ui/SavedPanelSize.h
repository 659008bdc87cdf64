#pragma once

#include <QSizeF>
#include <QString>

namespace mendo {

class UserDefaults;

// The size the user last gave a panel, kept as two numbers in the user
// defaults (for example "mendo.quickPanel.width" and ".height"), in
// device-independent pixels.
class SavedPanelSize {
public:
    // `keyPrefix` is the panel's key without ".width"/".height".
    SavedPanelSize(UserDefaults& defaults, QString keyPrefix, QSizeF minimum);

    QString widthKey() const;
    QString heightKey() const;

    // The stored size when both sides reach the minimum, each side capped at
    // `maximum`; otherwise `fallback` as a whole (a stored size that is
    // missing, too small on either side or not a number says nothing).
    QSizeF read(QSizeF fallback, QSizeF maximum) const;
    // Stores `size`, never below the minimum. Called on every resize.
    void save(QSizeF size);

private:
    UserDefaults& m_defaults;
    QString m_prefix;
    QSizeF m_minimum;
};

}  // namespace mendo
