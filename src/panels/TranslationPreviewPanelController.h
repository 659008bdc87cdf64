#pragma once

#include "app/AppStateFollower.h"

namespace mendo {

// The translation preview panel's controller, one per process. The panel is
// not built yet: the controller follows its target language and look.
class TranslationPreviewPanelController : public AppStateFollower {
public:
    using AppStateFollower::AppStateFollower;

    const QString& targetLanguage() const { return settings().translatePreviewTargetLanguage; }

    // The panel is not built yet: a request to show it for the selection is
    // only counted.
    virtual void showFromSelection(MendoAppState&) { ++m_showFromSelectionRequests; }
    int showFromSelectionRequests() const { return m_showFromSelectionRequests; }

private:
    int m_showFromSelectionRequests = 0;
};

}  // namespace mendo
