#pragma once

#include "base/Error.h"

#include <QString>

namespace mendo {

// Why a keyboard layout could not be selected.
class KeyboardLayoutError : public MendoError {
public:
    enum class Case { layoutNotFound, switchFailed };

    static KeyboardLayoutError layoutNotFound(QString name) { return { Case::layoutNotFound, std::move(name), 0 }; }
    static KeyboardLayoutError switchFailed(QString name, qint32 status)
    {
        return { Case::switchFailed, std::move(name), status };
    }

    Case kind() const { return m_case; }
    // The name exactly as the caller asked for it.
    const QString& name() const { return m_name; }
    qint32 status() const { return m_status; }

    QString description() const override;

private:
    KeyboardLayoutError(Case c, QString name, qint32 status)
        : m_case(c)
        , m_name(std::move(name))
        , m_status(status)
    {
    }

    Case m_case;
    QString m_name;
    qint32 m_status;
};

}  // namespace mendo
