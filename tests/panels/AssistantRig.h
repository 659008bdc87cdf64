#pragma once

#include "app/AppStateRig.h"
#include "engine/AccountCredentials.h"
#include "engine/FocusService.h"
#include "engine/PasteboardService.h"
#include "fakes/FakeAccessibility.h"
#include "fakes/FakeLanguageDetector.h"
#include "fakes/FakePanelDesktop.h"
#include "panels/AssistantPanelController.h"
#include "support/MockAiService.h"

#include <QDeadlineTimer>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QTest>

namespace mendo {

// The assistant's controller over fakes: the application state of
// AppStateRig (statuses recorded), the in-process mock service answering on
// the fake clock, and a desktop where the user chats in `chat` (its message
// box appends what is pasted) while `other` is another application.
struct AssistantRig {
    static inline const RunningApplication self { 50, QStringLiteral("ai.mendo.MendoAI"), 5 };
    static inline const RunningApplication chat { 100, QStringLiteral("org.example.Chat"), 11 };
    static inline const RunningApplication other { 200, QStringLiteral("org.example.Other"), 21 };

    AppStateRig app;
    MockAiService mock { app.clock };
    bool listening = mock.listen();
    DefaultsAccountCredentials credentials { app.defaults };
    QNetworkAccessManager network;
    FakeLanguageDetector languages;
    FakePanelDesktop desktop;
    FakePasteboard pasteboard;
    FakeAccessibility ax;
    FakeKeyboardEvents keyboard;
    FakeWorkspace workspace;
    RecordingClipboardSuppression history;
    FakeFocusedTextAccess focusedText;
    FocusService focus { workspace, ax };
    PasteboardService pasteboardService { app.clock, pasteboard, keyboard, focus, history, focusedText };
    AssistantPanelController controller { { app.clock, app.defaults, desktop, pasteboard, focus, pasteboardService,
        mock.aiURL(), credentials, network, languages, nullptr } };
    FakeAXNodePtr chatEditor;
    FakeAXNodePtr otherEditor;

    AssistantRig()
    {
        workspace.applications = { self, chat, other };
        for (const RunningApplication& application : { chat, other }) {
            FakeAXNodePtr node = ax.addApplication(application.processIdentifier);
            FakeAXNodePtr window = ax.addChild(node, ax::WindowRole, QStringLiteral("window"));
            ax.application(application.processIdentifier)->focusedWindow = window.get();
            FakeAXNodePtr editor = ax.addTextField(
                window, ax::TextAreaRole, QStringLiteral("message"), { 0, 600, 500, 60 }, QStringLiteral(">"));
            (application == chat ? chatEditor : otherEditor) = editor;
        }
        keyboard.onPost = [this](EditShortcut shortcut) {
            if (shortcut != EditShortcut::Paste || !workspace.front)
                return;
            FakeAXNodePtr editor = workspace.front->processIdentifier == chat.processIdentifier ? chatEditor
                : workspace.front->processIdentifier == other.processIdentifier                 ? otherEditor
                                                                                                  : nullptr;
            if (editor)
                editor->attributes.insert(ax::Value,
                    std::get<QString>(editor->attributes.value(ax::Value)) + pasteboard.string().value_or(QString()));
        };
        pasteboard.copyFromOutside(QStringLiteral("user clipboard"));
        // The user works in the chat; the hotkey remembered it.
        workspace.bringToFront(chat);
        workspace.front = self;
        controller.attach(*app.state);
        app.statuses.clear();
    }

    static QString textOf(const FakeAXNodePtr& editor)
    {
        return std::get<QString>(editor->attributes.value(ax::Value));
    }

    // Waits until the service has received `count` requests in all.
    bool waitForRequests(int count)
    {
        QDeadlineTimer deadline(5000);
        while (mock.requests().size() < count && !deadline.hasExpired())
            QTest::qWait(5);
        return mock.requests().size() == count;
    }

    // Sends `question` from the composer; the service answers `answer` at
    // once.
    void ask(const QString& question, const QString& answer)
    {
        mock.enqueue(MockAiService::Answer::result(answer));
        controller.setRequestText(question);
        controller.run();
        QTRY_VERIFY(!controller.state().isRunning);
    }

    QJsonObject body(int index) const { return mock.requests().value(index).json(); }

    // Lets `ms` of virtual time pass, then the event loop deliver what the
    // mock sent in that time.
    void advance(int ms)
    {
        app.clock.advance(Millis(ms));
        QTest::qWait(30);
    }
};

}  // namespace mendo
