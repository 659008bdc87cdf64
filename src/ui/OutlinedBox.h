#pragma once

#include <QWidget>

namespace mendo {

// A rounded box in the text colour behind a group of controls or a text pane:
// a faint fill and a hairline edge drawn inside the shape (none when its
// opacity is 0). A negative radius rounds the ends fully, a capsule.
class OutlinedBox : public QWidget {
public:
    OutlinedBox(double fillOpacity, double edgeOpacity, qreal radius = -1, QWidget* parent = nullptr);

protected:
    void setFillOpacity(double opacity)
    {
        m_fillOpacity = opacity;
        update();
    }
    double fillOpacity() const { return m_fillOpacity; }
    double edgeOpacity() const { return m_edgeOpacity; }
    void paintEvent(QPaintEvent* event) override;

private:
    double m_fillOpacity;
    double m_edgeOpacity;
    qreal m_radius;
};

}  // namespace mendo
