#pragma once

#include <QWidget>

namespace mendo {

// The window materials the settings window lays behind its content.
enum class VisualEffectMaterial { underWindowBackground, sidebar };
// Whether the material blends with what lies behind the window or only with
// the window's own content.
enum class VisualEffectBlendingMode { behindWindow, withinWindow };
enum class VisualEffectState { followsWindowActiveState, active, inactive };

// A backdrop painted in a window material. X11 has no blur behind windows: the
// material is the palette's window tone, see-through only where the window
// itself is translucent and the material blends behind the window.
class VisualEffectBackground : public QWidget {
    Q_OBJECT
public:
    VisualEffectBackground(VisualEffectMaterial material, VisualEffectBlendingMode blendingMode,
        VisualEffectState state, QWidget* parent = nullptr);

    // Re-applies all three, whichever changed.
    void apply(VisualEffectMaterial material, VisualEffectBlendingMode blendingMode, VisualEffectState state);

    VisualEffectMaterial material() const { return m_material; }
    VisualEffectBlendingMode blendingMode() const { return m_blendingMode; }
    VisualEffectState state() const { return m_state; }
    // The colour painted now (it depends on the window's activity).
    QColor effectiveColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    VisualEffectMaterial m_material;
    VisualEffectBlendingMode m_blendingMode;
    VisualEffectState m_state;
};

// An invisible strip that moves its window when dragged: laid behind a panel's
// header, it takes the mouse-down no control of the header took (also the
// first click into an inactive panel) and hands the drag to the window
// manager. The press goes no further up the widget chain.
class WindowDragHandle : public QWidget {
    Q_OBJECT
public:
    explicit WindowDragHandle(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace mendo
