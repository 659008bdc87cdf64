#pragma once

#include "app/AppStateFollower.h"

namespace mendo {

// The translation preview panel's controller, one per process. The panel is
// not built yet: the controller follows its target language and look.
class TranslationPreviewPanelController : public AppStateFollower {
public:
    using AppStateFollower::AppStateFollower;

    const QString& targetLanguage() const { return settings().translatePreviewTargetLanguage; }
};

}  // namespace mendo
