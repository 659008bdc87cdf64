#pragma once

#include "app/MendoAppState.h"
#include "app/SelectionTransfer.h"
#include "app/TextActionEngine.h"
#include "engine/FocusService.h"
#include "engine/KeyboardLayoutService.h"
#include "engine/PasteboardService.h"
#include "engine/PermissionService.h"
#include "fakes/FakeAccessibility.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeFocusedTextAccess.h"
#include "fakes/FakeInputMonitoring.h"
#include "fakes/FakeInputSources.h"
#include "fakes/FakeKeyboardEvents.h"
#include "fakes/FakePasteboard.h"
#include "fakes/FakeProcesses.h"
#include "fakes/FakeSystemTransparency.h"
#include "fakes/FakeWorkspace.h"
#include "fakes/MemoryUserDefaults.h"
#include "fakes/RecordingClipboardSuppression.h"
#include "fakes/RecordingSystemLog.h"
#include "model/NativeSettingsStore.h"

#include <QStringList>
#include <functional>
#include <memory>

namespace mendo {

// Every step of the pasteboard takes 10 ms of virtual time. A read gives
// `selection` or throws `readError`; a paste throws `pasteError`.
class ScriptedSelection final : public SelectionTransfer {
public:
    explicit ScriptedSelection(Clock& clock)
        : m_clock(clock)
    {
    }

    std::optional<RunningApplication> selectionSource() override { return source; }
    Task<QString> readSelectedTextTransient(bool selectAllBeforeCopy, bool includeFocusedTextFallback,
        PasteboardTiming timing, std::optional<RunningApplication> from) override
    {
        calls << QStringLiteral("read selectAll=%1 fallback=%2 %3%4")
                     .arg(int(selectAllBeforeCopy))
                     .arg(int(includeFocusedTextFallback))
                     .arg(timingName(timing), windowName(from));
        co_await m_clock.sleep(Millis(10));
        if (readError)
            readError();
        co_return QString(selection);  // QCoro moves what it is given
    }
    Task<> pasteTransient(QString text, std::optional<RunningApplication> target, PasteboardTiming timing) override
    {
        calls << QStringLiteral("paste %1 %2%3").arg(text, timingName(timing), windowName(target));
        co_await m_clock.sleep(Millis(10));
        if (pasteError)
            pasteError();
    }
    bool replaceSelectedTextViaAccessibility(const QString& text) override
    {
        calls << QStringLiteral("replace ") + text;
        return replaceSucceeds;
    }

    // " from window 7" style suffix; nothing for the default source.
    QString windowName(const std::optional<RunningApplication>& window) const
    {
        return window == source ? QString() : QStringLiteral(" window %1").arg(window ? window->window : 0);
    }

    static QString timingName(const PasteboardTiming& timing)
    {
        return timing == PasteboardTiming::standard() ? QStringLiteral("standard")
            : timing == PasteboardTiming::quick()     ? QStringLiteral("quick")
                                                      : QStringLiteral("other");
    }

    QString selection = QStringLiteral("selected");
    std::optional<RunningApplication> source = RunningApplication { 100, QStringLiteral("org.example.Editor"), 11 };
    std::function<void()> readError;
    std::function<void()> pasteError;
    bool replaceSucceeds = true;
    QStringList calls;

private:
    Clock& m_clock;
};

// The engine answers after `delay` with `result`, or throws `error`.
class ScriptedEngine final : public TextActionEngine {
public:
    explicit ScriptedEngine(Clock& clock)
        : m_clock(clock)
    {
    }

    Task<QString> run(QuickAction action, QString input, QString targetLanguage, QList<PromptStyle> styles) override
    {
        calls << QStringLiteral("%1 [%2] %3 styles=%4").arg(action.id, input, targetLanguage).arg(styles.size());
        co_await m_clock.sleep(delay);
        if (error)
            error();
        co_return QString(result);  // QCoro moves what it is given
    }

    QString result = QStringLiteral("result");
    Millis delay { 10 };
    std::function<void()> error;
    QStringList calls;

private:
    Clock& m_clock;
};

// The desktop under the real pasteboard service: the user's editor and
// another application, each with a window.
struct FakeDesktop {
    static inline const RunningApplication editor { 100, QStringLiteral("org.example.Editor"), 0x110001 };
    static inline const RunningApplication other { 200, QStringLiteral("org.example.Other"), 0x210001 };

    explicit FakeDesktop(Clock& clock)
        : service(clock, pasteboard, keyboard, focus, history, focused)
    {
        workspace.applications = { editor, other };
        workspace.bringToFront(editor);
    }

    FakePasteboard pasteboard;
    FakeKeyboardEvents keyboard;
    FakeWorkspace workspace;
    RecordingClipboardSuppression history;
    FakeFocusedTextAccess focused;
    FocusService focus { workspace };
    PasteboardService service;
    PasteboardSelectionTransfer transfer { service };
};

// The application state over fakes, with every status it shows recorded as
// "<ms> <kind>[ <text>]". Selections go through `selection`, or with a
// desktop through the real pasteboard service over it.
struct AppStateRig {
    FakeClock clock;
    MemoryUserDefaults defaults;
    NativeSettingsStore store { defaults };
    FakeSystemTransparency transparency;
    FakePermissions accessibility;
    FakeInputMonitoring inputMonitoring;
    FakeProcesses processes;
    PermissionService permissions { accessibility, inputMonitoring, processes, QStringLiteral("GNOME") };
    ScriptedSelection selection { clock };
    FakeFocusedTextAccess focused;
    FakeInputSources inputSources;
    KeyboardLayoutService layouts { inputSources };
    ScriptedEngine engine { clock };
    RecordingSystemLog log;
    std::unique_ptr<FakeDesktop> desktop;
    std::unique_ptr<MendoAppState> state;
    QStringList statuses;

    // `prepare` stages the stored profile before the state loads it.
    explicit AppStateRig(const std::function<void(MendoSettings&)>& prepare = {}, bool withDesktop = false)
    {
        if (withDesktop)
            desktop = std::make_unique<FakeDesktop>(clock);
        if (prepare) {
            MendoSettings settings;
            prepare(settings);
            store.save(settings);
            defaults.writes = 0;
        }
        state = std::make_unique<MendoAppState>(MendoAppState::Services { clock, store, transparency, permissions,
            desktop ? static_cast<SelectionTransfer&>(desktop->transfer) : selection, focused, layouts, engine, &log });
        QObject::connect(state.get(), &MendoAppState::statusChanged, [this](const ActionStatus& status) {
            statuses << QString::number(clock.monotonicNow().count()) + QLatin1Char(' ') + describe(status);
        });
    }

    void setLanguage(UiLanguage language)
    {
        state->editSettings([language](MendoSettings& s) { s.uiLanguage = language; });
    }

    static QString describe(const ActionStatus& status)
    {
        switch (status.kind()) {
        case ActionStatus::Kind::running:
            return QStringLiteral("running ") + status.text();
        case ActionStatus::Kind::done:
            return QStringLiteral("done ") + status.text();
        case ActionStatus::Kind::failed:
            return QStringLiteral("failed ") + status.text();
        case ActionStatus::Kind::idle:
            break;
        }
        return QStringLiteral("idle");
    }
};

}  // namespace mendo
