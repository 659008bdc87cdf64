#pragma once

#include "engine/AccountCredentials.h"
#include "engine/FocusService.h"
#include "fakes/FakeFocusedTextAccess.h"
#include "fakes/FakeGlobalInputMonitor.h"
#include "fakes/FakeLanguageDetector.h"
#include "fakes/FakePanelDesktop.h"
#include "fakes/FakePasteboard.h"
#include "fakes/FakeWorkspace.h"
#include "panels/TranslationPreviewPanelController.h"

#include <QNetworkAccessManager>

namespace mendo {

// What a translation preview stands on, in memory: the clipboard, the
// desktop with the user's editor in front, its accessible selection and a
// service address nothing answers at (tests that translate point it at the
// mock service).
struct TranslationPreviewFakes {
    static inline const RunningApplication editor { 100, QStringLiteral("org.example.Editor"), 0x110001 };

    TranslationPreviewFakes(Clock& clock, UserDefaults& defaults, SelectionTransfer& selection)
        : clock(clock)
        , defaults(defaults)
        , selection(selection)
        , credentials(defaults)
    {
        workspace.applications = { editor };
        workspace.bringToFront(editor);
    }

    TranslationPreviewServices services()
    {
        return { clock, defaults, pasteboard, focus, accessibility, selection, desktop, globalInput,
            serviceURL, credentials, network, languages, nullptr };
    }

    Clock& clock;
    UserDefaults& defaults;
    SelectionTransfer& selection;
    DefaultsAccountCredentials credentials;
    QNetworkAccessManager network;
    FakeLanguageDetector languages;
    FakePasteboard pasteboard;
    FakeWorkspace workspace;
    FocusService focus { workspace };
    FakeFocusedTextAccess accessibility;
    FakePanelDesktop desktop;
    FakeGlobalInputMonitor globalInput;
    QString serviceURL = QStringLiteral("http://127.0.0.1:9/macos/ai");
};

// For tests of what opens the translation preview: counts the requests to
// show it instead of reading.
class CountingTranslationPreview final : public TranslationPreviewPanelController {
public:
    using TranslationPreviewPanelController::TranslationPreviewPanelController;
    void showFromSelection(MendoAppState&) override { ++showFromSelectionRequests; }
    int showFromSelectionRequests = 0;
};

}  // namespace mendo
