#pragma once

#include "ui/PanelPlacement.h"

#include <QPointer>
#include <QWidget>

#include <functional>

namespace mendo {

class MendoFloatingSurface;
class PanelDesktop;
class SavedPanelSize;

// The window of every panel MendoAI shows over other applications (the quick
// panel, the floating button, the status display, the clipboard window, the
// assistant and the translation preview): a frameless tool window that stays
// on top, on every desktop, without a taskbar entry, drawn by its view on the
// theme's floating surface. Moved by a WindowDragHandle inside the view,
// resized by its edges (when its minimum and maximum sizes differ) through
// the window manager. Shows tooltips while inactive.
//
// How an owner uses it:
//
//     // once, on the panel's first showing:
//     m_panel = std::make_unique<FloatingPanel>(desktop, FloatingPanel::Focus::never);
//     m_panel->setSurface(new MendoFloatingSurface(mode, surfaceMode, 22), 0);
//     m_panel->setMinimumSize(340, 380);
//     m_panel->resize(saved.read(defaultSize, maximumSize));
//     m_panel->saveSizeTo(&saved);
//     // every showing:
//     if (!m_panel->isVisible())
//         m_panel->moveNearPointer();
//     m_panel->present();
//     // and to put it away (a close request by the window manager hides it too):
//     m_panel->hide();
//
// A panel is made once and then only shown and hidden. Main thread.
class FloatingPanel : public QWidget {
    Q_OBJECT
public:
    enum class Focus {
        // Never takes the keyboard focus: the user's application keeps the
        // typing (the quick panel, the floating button, the status display).
        never,
        // Activates and takes the focus whenever it is presented (the
        // assistant, the translation preview).
        onPresent,
        // Shown without taking the focus; takes it when the user clicks into
        // it, so that its fields get the typing (the clipboard window).
        onClick,
    };

    FloatingPanel(PanelDesktop& desktop, Focus focus, QWidget* parent = nullptr);
    ~FloatingPanel() override;

    Focus focus() const { return m_focus; }

    // Lays `surface` (which the panel then owns) into the window, `margin`
    // pixels inside its edges, as the panel's view. With a compositor the
    // window is translucent around the card; without one it is shaped to the
    // card's rounded outline, so that no black corners show.
    void setSurface(MendoFloatingSurface* surface, int margin);
    MendoFloatingSurface* surface() const { return m_surface; }

    // Keeps the window out of the window manager's care altogether (no
    // stacking, focus or desktop rules): for the status display, which only
    // shows and never takes input. Set before the first presentation.
    void setOutsideWindowManager(bool outside);

    // Saves every later size the window takes while shown.
    void saveSizeTo(SavedPanelSize* saved);
    // The same, through `save`: for a panel whose stored size has limits of
    // its own.
    void saveSizeWith(std::function<void(QSize)> save);

    // Moves the panel beside the pointer, inside the monitor under it.
    void moveNearPointer(PointerOffsets offsets = PointerOffsets::panel());

    // Shows the panel in front where it stands, taking the focus only as its
    // kind says.
    void present();

Q_SIGNALS:
    // The window manager asked the panel to close; it hid instead.
    void closeRequested();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateShape();
    Qt::Edges edgesAt(QPoint position) const;
    void watchWindow();

    PanelDesktop& m_desktop;
    Focus m_focus;
    MendoFloatingSurface* m_surface = nullptr;
    int m_margin = 0;
    bool m_outsideWindowManager = false;
    bool m_translucent = false;
    bool m_activateWhenExposed = false;
    bool m_watching = false;
    std::function<void(QSize)> m_saveSize;
};

}  // namespace mendo
