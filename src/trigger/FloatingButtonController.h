#pragma once

#include "ui/GlassSurface.h"

#include <QObject>
#include <QPointer>
#include <memory>

namespace mendo {

class FloatingPanel;
class MendoAppState;
class PanelDesktop;
class QuickPanelController;

// The round button that offers the quick panel next to a fresh selection:
// a yellow bolt on the floating surface. No text, no tooltip.
class FloatingButtonView : public MendoFloatingSurface {
    Q_OBJECT
public:
    static constexpr int size = 54;
    static constexpr int cornerRadius = 21;

    FloatingButtonView(AppearanceMode mode, SurfaceMode surfaceMode, std::function<void()> onClick,
        QWidget* parent = nullptr);

    QAbstractButton* button() const { return m_button; }

private:
    QAbstractButton* m_button = nullptr;
};

// Owns the floating button's panel: shown next to the pointer by the
// selection trigger, it never takes the focus and stays until it is hidden;
// a click hides it and opens the quick panel. Made by the application object;
// the panel is made on the first show that the settings allow. Main thread.
class FloatingButtonController : public QObject {
    Q_OBJECT
public:
    explicit FloatingButtonController(PanelDesktop& desktop, QObject* parent = nullptr);
    ~FloatingButtonController() override;

    // Set on every show (and by the launch).
    QPointer<MendoAppState> appState;
    QPointer<QuickPanelController> quickPanel;

    // With the floating button switched off, hides it and makes nothing;
    // otherwise shows it near the pointer, where a showing button stays.
    virtual void show(MendoAppState& state, QuickPanelController& panel);
    // Hides the button; nothing happens when there is none.
    void orderOut();
    // What a click on the button does: the button goes, the quick panel
    // opens at the pointer. Nothing while either is gone.
    void click();

    bool isPanelVisible() const;
    FloatingPanel* panel() const { return m_panel.get(); }
    FloatingButtonView* view() const;

private:
    void positionNearMouse();

    PanelDesktop& m_desktop;
    std::unique_ptr<FloatingPanel> m_panel;
};

}  // namespace mendo
