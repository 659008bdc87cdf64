#pragma once

#include "base/Error.h"

namespace mendo {

class MendoCoreError : public MendoError {
public:
    enum class Kind { actionNotPortedYet };

    static MendoCoreError actionNotPortedYet(QString name) { return MendoCoreError(std::move(name)); }

    Kind kind() const { return Kind::actionNotPortedYet; }
    const QString& name() const { return m_name; }
    // One fixed sentence followed by the name of the action.
    QString description() const override;

private:
    explicit MendoCoreError(QString name)
        : m_name(std::move(name))
    {
    }
    QString m_name;
};

}  // namespace mendo
