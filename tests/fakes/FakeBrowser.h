#pragma once

#include "fakes/FakeAccessibility.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeWindowSystem.h"
#include "fakes/FakeWorkspace.h"
#include "platform/BrowserControl.h"

#include <memory>
#include <optional>

namespace mendo {

// A browser in memory, one process with its windows: each is a window in the
// FakeWorkspace and the FakeWindowSystem and a tree in the FakeAccessibility
// (a tool bar with the address field, then the web area of the active tab
// with a text field of the page inside). An app window has the same tree with
// the tool bar hidden, as Chromium keeps it. Activating a window (through the
// workspace) makes it the focused window everywhere. An app-window request is
// recorded and, after `appWindowDelay` on the clock, opens that window in
// front; closeActiveTab() is the browser's answer to Control+W.
class FakeBrowser final : public BrowserControl {
public:
    struct Window {
        WindowId id = 0;
        QStringList tabs;
        int active = 0;
        bool app = false;
        FakeAXNodePtr node;
        FakeAXNodePtr page;
    };

    FakeBrowser(FakeAccessibility& ax, FakeWorkspace& workspace, FakeWindowSystem& windows, FakeClock& clock,
        QString applicationId = QStringLiteral("chromium"), qint32 pid = 700)
        : m_ax(ax)
        , m_workspace(workspace)
        , m_windows(windows)
        , m_clock(clock)
        , m_id(std::move(applicationId))
        , m_pid(pid)
        , m_root(ax.addApplication(pid))
    {
        QObject::connect(&workspace, &Workspace::applicationActivated, &workspace,
            [this](const RunningApplication& application) { focus(application.window); });
    }

    RunningApplication application(WindowId window) const { return RunningApplication { m_pid, m_id, window }; }

    // A window showing `tabs`, the first one active, brought to the front.
    WindowId addWindow(const QStringList& tabs, bool app = false)
    {
        Window w;
        w.id = 0x100 + WindowId(m_browserWindows.size());
        w.tabs = tabs;
        w.app = app;
        w.node = m_ax.addChild(m_root, QString(ax::WindowRole), QStringLiteral("window %1").arg(w.id));
        const auto toolbar = m_ax.addChild(w.node, QString(ax::ToolbarRole));
        m_ax.addChild(toolbar, QStringLiteral("AXPushButton"), QStringLiteral("Back"));
        m_ax.addChild(toolbar, QString(ax::TextFieldRole), QStringLiteral("address field"));
        if (app)
            toolbar->attributes.insert(ax::Hidden, true);
        const auto content = m_ax.addChild(w.node, QString(ax::GroupRole));
        w.page = m_ax.addChild(content, QString(ax::WebAreaRole), QStringLiteral("page"));
        m_ax.addChild(w.page, QString(ax::TextFieldRole), QStringLiteral("page input"));
        m_browserWindows.append(w);
        showActiveTab(m_browserWindows.last());
        FakeWindowSystem::Window frame;
        frame.id = w.id;
        frame.frame = QRect(200, 150, 900, 700);
        m_windows.stack.prepend(frame);
        m_workspace.applications = { application(w.id) };
        m_workspace.bringToFront(application(w.id));
        return w.id;
    }

    Window* window(WindowId id)
    {
        for (Window& w : m_browserWindows) {
            if (w.id == id)
                return &w;
        }
        return nullptr;
    }
    const QList<Window>& windows() const { return m_browserWindows; }

    void selectTab(WindowId id, int tab)
    {
        Window* w = window(id);
        w->active = tab;
        showActiveTab(*w);
    }

    // Control+W: the active tab of the active window goes.
    void closeActiveTab()
    {
        const auto front = m_workspace.frontmostApplication();
        Window* w = front ? window(front->window) : nullptr;
        if (!w || w->tabs.isEmpty())
            return;
        w->tabs.removeAt(w->active);
        w->active = std::max(0, std::min(w->active, int(w->tabs.size()) - 1));
        showActiveTab(*w);
    }

    bool openAppWindow(const RunningApplication& browser, const QString& address) override
    {
        requests << QStringLiteral("%1 %2 %3").arg(browser.bundleIdentifier).arg(browser.processIdentifier).arg(address);
        if (!startSucceeds)
            return false;
        if (appWindowDelay)
            m_pendingOpen = m_clock.singleShot(*appWindowDelay, [this, address] { addWindow({ address }, true); });
        return true;
    }

    QStringList requests;
    bool startSucceeds = true;
    // When a requested app window appears; never without a value.
    std::optional<Millis> appWindowDelay = Millis(100);

private:
    void showActiveTab(Window& w)
    {
        w.page->attributes.insert(ax::URL, w.tabs.value(w.active));
    }
    void focus(WindowId id)
    {
        m_windows.focused = id;
        if (Window* w = window(id))
            m_ax.application(m_pid)->focusedWindow = w->node.get();
    }

    FakeAccessibility& m_ax;
    FakeWorkspace& m_workspace;
    FakeWindowSystem& m_windows;
    FakeClock& m_clock;
    QString m_id;
    qint32 m_pid;
    FakeAXNodePtr m_root;
    QList<Window> m_browserWindows;
    std::unique_ptr<Timer> m_pendingOpen;
};

}  // namespace mendo
