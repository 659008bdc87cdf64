#include "ui/OutlinedBox.h"

#include "ui/MendoTheme.h"

#include <QPainter>

namespace mendo {

OutlinedBox::OutlinedBox(double fillOpacity, double edgeOpacity, qreal radius, QWidget* parent)
    : QWidget(parent)
    , m_fillOpacity(fillOpacity)
    , m_edgeOpacity(edgeOpacity)
    , m_radius(radius)
{
}

void OutlinedBox::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor text = palette().color(QPalette::WindowText);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = m_radius < 0 ? box.height() / 2 : m_radius;
    p.setPen(m_edgeOpacity > 0 ? QPen(theme::withOpacity(text, m_edgeOpacity), 1) : QPen(Qt::NoPen));
    p.setBrush(theme::withOpacity(text, m_fillOpacity));
    p.drawRoundedRect(box, radius, radius);
}

}  // namespace mendo
