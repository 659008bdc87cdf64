#pragma once

#include "engine/AIReplyEditorState.h"
#include "platform/Accessibility.h"
#include "platform/Workspace.h"

#include <QObject>
#include <optional>

namespace mendo {

// Remembers the foreign application (and its window) the user was working in,
// so that text can be copied from and pasted back into it after MendoAI's own
// panels and menus took the focus. It remembers on every activation of
// another application and whenever a caller asks it to.
class FocusService : public QObject {
    Q_OBJECT
public:
    explicit FocusService(Workspace& workspace, QObject* parent = nullptr);
    // With accessibility: the remembered application's window is also kept
    // as an accessible element, and reply editors can be found and focused.
    FocusService(Workspace& workspace, Accessibility& accessibility, QObject* parent = nullptr);

    // Application ids that are never remembered: MendoAI's own.
    QStringList mendoBundleIdentifiers() const;

    // Makes `application` the remembered target, unless it has no application
    // id, is MendoAI itself, or is the process a reply paste is going into.
    void remember(const RunningApplication& application);
    // Remembers the application in front, by the same rules.
    void rememberFrontmostApplication();

    // Brings the first running application with exactly this id to the front;
    // true when it already is, or the activation could be requested.
    bool activate(const QString& bundleIdentifier);

    // The first running application with this process, if any.
    std::optional<RunningApplication> runningApplication(qint32 processIdentifier) const;

    // The remembered application's running process, with the remembered
    // window, but only while that process still belongs to the remembered
    // application: a pid the system reused for another program is not it.
    std::optional<RunningApplication> rememberedApplication() const;

    // Brings the remembered target to the front: its process when it still
    // runs (true at once when it is already in front), else the first
    // application with its id. False when there is nothing to activate.
    bool activateRemembered();

    // The window the user reads a selection from and a result goes back to:
    // the remembered application's remembered window while that application
    // runs, else the frontmost application unless it is MendoAI's own.
    std::optional<RunningApplication> selectionSource() const;

    // Brings exactly this window to the front (true at once when it is
    // already); false when the window is gone, never another window.
    bool activateWindow(const RunningApplication& application);

    // The active window, 0 when none.
    WindowId frontmostWindow() const;
    // Whether the active window is one of MendoAI's own (by process or id).
    bool isOwnApplicationInFront() const;

    // Whether the application of this process is the frontmost one.
    bool isFrontmost(qint32 processIdentifier) const;

    const std::optional<QString>& rememberedBundleIdentifier() const { return m_rememberedBundleIdentifier; }
    const std::optional<qint32>& rememberedProcessIdentifier() const { return m_rememberedProcessIdentifier; }
    // The window that was active when the application was remembered.
    const std::optional<WindowId>& rememberedWindow() const { return m_rememberedWindow; }

    // While set, activations of this process leave the memory alone (a reply
    // paste activating its target must not replace the remembered window).
    const std::optional<qint32>& restoringProcessIdentifier() const { return m_restoringProcessIdentifier; }
    void setRestoringProcessIdentifier(std::optional<qint32> processIdentifier)
    {
        m_restoringProcessIdentifier = processIdentifier;
    }

    // The remembered application's focused window as an accessible element,
    // read right after it was remembered; absent without accessibility.
    const AXElement& rememberedAccessibleWindow() const { return m_rememberedAccessibleWindow; }

    // Starts a reply paste into the process: activations of it no longer
    // change the memory, the last reply editor is forgotten, the application
    // is asked to build its accessibility tree, and it is brought to the
    // front. False (and the paste state reset) when it does not run or cannot
    // be activated.
    bool beginAIReplyPaste(qint32 processIdentifier);
    // Focuses the text field in the remembered window of the process that a
    // reply belongs in and keeps it as replyEditor(). False when the process
    // is not the remembered one, no window is remembered, or no editor could
    // be focused; callers retry.
    bool focusAIReplyEditor(qint32 processIdentifier);
    // The editor the last successful focusAIReplyEditor() focused.
    const AXElement& replyEditor() const { return m_replyEditor; }
    void clearReplyEditor() { m_replyEditor = nullptr; }
    // The reply editor's text and character count as they are now; absent
    // without an editor.
    std::optional<AIReplyEditorState> replyEditorState();

private:
    AXElement accessibleWindowOf(qint32 processIdentifier);

    Workspace& m_workspace;
    Accessibility* m_accessibility = nullptr;
    AXElement m_rememberedAccessibleWindow;
    AXElement m_replyEditor;
    std::optional<QString> m_rememberedBundleIdentifier;
    std::optional<qint32> m_rememberedProcessIdentifier;
    std::optional<WindowId> m_rememberedWindow;
    std::optional<qint32> m_restoringProcessIdentifier;
    quint64 m_rememberGeneration = 0;
};

}  // namespace mendo
