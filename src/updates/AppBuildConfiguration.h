#pragma once

#include <QString>

#include <optional>

namespace mendo {

// The running build as the update service is told about it: the version
// text and the build number this copy of MendoAI was built with.
namespace AppBuildConfiguration {

// The project's version ("0.1.0").
QString currentVersion();
// The MENDO_BUILD_NUMBER build setting; 0 when it is empty or not a number.
qint64 currentBuild();

// A base-10 integer: an optional "+" or "-", then digits only, no spaces;
// nothing for anything else, or for a value outside 64 bits.
std::optional<qint64> parseBuildNumber(const QString& text);

}  // namespace AppBuildConfiguration

}  // namespace mendo
