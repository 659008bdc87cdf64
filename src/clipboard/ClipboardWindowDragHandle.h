#pragma once

#include <QWidget>

namespace mendo {

// The one place the clipboard window is moved from: an invisible strip in
// its header, 28 pixels high and as wide as the header leaves free. A left
// press hands the window to the window manager's move at once, also while
// another application is active. Everything else in the window leaves the
// window where it is.
class ClipboardWindowDragHandle : public QWidget {
    Q_OBJECT
public:
    static constexpr int stripHeight = 28;

    explicit ClipboardWindowDragHandle(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace mendo
