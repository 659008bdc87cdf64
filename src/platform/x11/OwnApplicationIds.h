#pragma once

#include <QStringList>

namespace mendo {

// The application ids under which MendoAI's own windows appear: the id of its
// desktop entry (release and development builds) and, with no entry
// installed, its WM_CLASS class, which Qt takes from the application name.
inline QStringList ownApplicationIds()
{
    return {QStringLiteral("ai.mendo.MendoAI"), QStringLiteral("ai.mendo.MendoAI.Devel"), QStringLiteral("MendoAI")};
}

}  // namespace mendo
