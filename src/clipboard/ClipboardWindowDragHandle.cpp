#include "clipboard/ClipboardWindowDragHandle.h"

#include <QMouseEvent>
#include <QWindow>

namespace mendo {

ClipboardWindowDragHandle::ClipboardWindowDragHandle(QWidget* parent)
    : QWidget(parent)
{
    setFixedHeight(stripHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setMinimumWidth(0);
    setFocusPolicy(Qt::NoFocus);
}

void ClipboardWindowDragHandle::mousePressEvent(QMouseEvent* event)
{
    QWindow* window = this->window()->windowHandle();
    if (event->button() == Qt::LeftButton && window && window->startSystemMove()) {
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

}  // namespace mendo
