#include "engine/FocusService.h"
#include "engine/PasteboardService.h"
#include "engine/PasteboardServiceError.h"
#include "fakes/FakeAccessibility.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeFocusedTextAccess.h"
#include "fakes/FakeKeyboardEvents.h"
#include "fakes/FakePasteboard.h"
#include "fakes/FakeWorkspace.h"
#include "fakes/RecordingClipboardSuppression.h"

#include <QtTest>

using namespace mendo;
using namespace std::chrono_literals;

namespace {

const RunningApplication kSelf { 50, QStringLiteral("ai.mendo.MendoAI"), 5 };
const RunningApplication kChat { 100, QStringLiteral("org.example.Chat"), 11 };
const RunningApplication kOther { 200, QStringLiteral("org.example.Other"), 21 };
const QString kUser = QStringLiteral("user clipboard");

// What the chat's message box does when the reply is pasted into it.
enum class EditorReaction { Appends, CountOnly, Nothing, Unobservable, NoEditor };

// The user chats in kChat (remembered, with its window); MendoAI's assistant
// panel is in front; the clipboard holds the user's text.
struct Rig {
    FakeClock clock;
    FakeAccessibility ax;
    FakePasteboard pasteboard;
    FakeKeyboardEvents keyboard;
    FakeWorkspace workspace;
    RecordingClipboardSuppression history;
    FakeFocusedTextAccess focusedText;
    FakeAXNodePtr app = ax.addApplication(kChat.processIdentifier);
    FakeAXNodePtr window = ax.addChild(app, ax::WindowRole, QStringLiteral("window"));
    FakeAXNodePtr editor;
    FocusService focus { workspace, ax };
    PasteboardService service { clock, pasteboard, keyboard, focus, history, focusedText };
    bool done = false;
    QString error;
    Millis finishedAt { -1 };

    explicit Rig(EditorReaction reaction = EditorReaction::Appends)
    {
        ax.application(kChat.processIdentifier)->focusedWindow = window.get();
        if (reaction != EditorReaction::NoEditor)
            editor = ax.addTextField(
                window, ax::TextAreaRole, QStringLiteral("message"), { 0, 600, 500, 60 }, QStringLiteral("hi"));
        if (reaction == EditorReaction::Unobservable) {
            editor->attributes.remove(ax::Value);
            editor->attributes.remove(ax::NumberOfCharacters);
        }
        workspace.applications = { kSelf, kChat, kOther };
        workspace.bringToFront(kChat);
        workspace.front = kSelf;
        pasteboard.copyFromOutside(kUser);
        keyboard.onPost = [this, reaction](EditShortcut shortcut) {
            if (shortcut != EditShortcut::Paste || !editor)
                return;
            if (reaction == EditorReaction::Appends)
                editor->attributes.insert(ax::Value, QStringLiteral("hi") + pasteboard.string().value_or(QString()));
            if (reaction == EditorReaction::CountOnly)
                editor->attributes.insert(ax::NumberOfCharacters, 9.0);
        };
    }

    void run(const QString& text, qint32 pid = kChat.processIdentifier)
    {
        [](Rig& rig, QString text, qint32 pid) -> Task<> {
            try {
                co_await rig.service.pasteAIReply(text, pid);
            } catch (const std::exception& e) {
                rig.error = describeException(e);
            }
            rig.done = true;
            rig.finishedAt = rig.clock.monotonicNow();
        }(*this, text, pid);
        clock.advance(10s);
    }
};

QString message(PasteboardServiceError::Code code)
{
    return PasteboardServiceError::message(code);
}

}  // namespace

class TestReplyPaste : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pastesIntoTheEditorAndCleansUp()
    {
        Rig rig;
        rig.run(QStringLiteral(" there"));
        QVERIFY(rig.done);
        QCOMPARE(rig.error, QString());
        QCOMPARE(std::get<QString>(rig.editor->attributes.value(ax::Value)), QStringLiteral("hi there"));
        QCOMPARE(rig.ax.application(kChat.processIdentifier)->focused, rig.editor.get());
        QCOMPARE(rig.pasteboard.string(), kUser);
        QVERIFY(!rig.focus.replyEditor());
        QVERIFY(!rig.focus.restoringProcessIdentifier());
        QCOMPARE(rig.history.calls, QStringList({ QStringLiteral("suppress 3.5"), QStringLiteral("finish") }));
        // Its own activation did not replace the remembered window.
        QCOMPARE(rig.focus.rememberedAccessibleWindow(), AXElement(rig.window));
    }

    void failures_data()
    {
        QTest::addColumn<int>("reaction");
        QTest::addColumn<qint32>("pid");
        QTest::addColumn<bool>("pasteRefused");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("finishedAtMs");
        QTest::addColumn<bool>("pasted");

        QTest::newRow("count change alone counts")
            << int(EditorReaction::CountOnly) << kChat.processIdentifier << false << QString() << 20 << true;
        QTest::newRow("process not running") << int(EditorReaction::Appends) << 999 << false
                                             << message(PasteboardServiceError::pasteTargetUnavailable) << 0 << false;
        QTest::newRow("not the remembered process")
            << int(EditorReaction::Appends) << kOther.processIdentifier << false
            << message(PasteboardServiceError::pasteEditorUnavailable) << 400 << false;
        QTest::newRow("no editor in the window")
            << int(EditorReaction::NoEditor) << kChat.processIdentifier << false
            << message(PasteboardServiceError::pasteEditorUnavailable) << 400 << false;
        QTest::newRow("paste shortcut refused") << int(EditorReaction::Appends) << kChat.processIdentifier << true
                                                << message(PasteboardServiceError::pasteEventFailed) << 0 << false;
        QTest::newRow("editor unchanged") << int(EditorReaction::Nothing) << kChat.processIdentifier << false
                                          << message(PasteboardServiceError::pasteNotApplied) << 1200 << true;
        QTest::newRow("editor change cannot be seen")
            << int(EditorReaction::Unobservable) << kChat.processIdentifier << false
            << message(PasteboardServiceError::pasteNotApplied) << 0 << true;
    }
    void failures()
    {
        QFETCH(int, reaction);
        QFETCH(qint32, pid);
        QFETCH(bool, pasteRefused);
        QFETCH(QString, error);
        QFETCH(int, finishedAtMs);
        QFETCH(bool, pasted);
        Rig rig { EditorReaction(reaction) };
        if (pasteRefused)
            rig.keyboard.results.insert(EditShortcut::Paste, ShortcutResult::Failed);
        rig.run(QStringLiteral("reply"), pid);
        QVERIFY(rig.done);
        QCOMPARE(rig.error, error);
        QCOMPARE(rig.finishedAt.count(), finishedAtMs);
        QCOMPARE(rig.keyboard.posted.contains(EditShortcut::Paste), pasted);
        // Whatever happened, the user's clipboard and a clean reply state.
        QCOMPARE(rig.pasteboard.string(), kUser);
        QVERIFY(!rig.focus.replyEditor());
        QVERIFY(!rig.focus.restoringProcessIdentifier());
        QCOMPARE(rig.history.calls.last(), QStringLiteral("finish"));
    }

    void editorFocusWaitsForTheEditorToAppear()
    {
        // Web-based chats build their tree late: the editor shows up after
        // the first attempts failed.
        Rig rig(EditorReaction::NoEditor);
        auto late = rig.clock.singleShot(120ms, [&rig] {
            rig.editor = rig.ax.addTextField(rig.window, ax::TextAreaRole, QStringLiteral("late"), { 0, 0, 300, 40 });
        });
        rig.keyboard.onPost = [&rig](EditShortcut) { rig.editor->attributes.insert(ax::Value, QStringLiteral("x")); };
        rig.run(QStringLiteral("x"));
        QCOMPARE(rig.error, QString());
        // Focused at the sixth attempt (125 ms), confirmed at the first check.
        QCOMPARE(rig.finishedAt.count(), 145);
    }

    void focusingAnotherProcessTouchesNothing()
    {
        Rig rig;
        QVERIFY(!rig.focus.focusAIReplyEditor(kOther.processIdentifier));
        FocusService blank(rig.workspace, rig.ax);  // nothing remembered
        QVERIFY(!blank.focusAIReplyEditor(kChat.processIdentifier));
        QVERIFY(rig.ax.writes.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestReplyPaste)
#include "test_reply_paste.moc"
