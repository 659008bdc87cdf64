#include "settings/ActionTitleLabel.h"

namespace mendo {

ActionTitleLabel::ActionTitleLabel(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

void ActionTitleLabel::setTitle(const QString& title)
{
    if (title == m_title)
        return;
    m_title = title;
    setAccessibleName(title);
    fit();
    updateGeometry();
}

QSize ActionTitleLabel::sizeHint() const
{
    return { fontMetrics().horizontalAdvance(m_title) + 2, QLabel::sizeHint().height() };
}

QSize ActionTitleLabel::minimumSizeHint() const
{
    return { fontMetrics().horizontalAdvance(QStringLiteral("…")) + 2, QLabel::minimumSizeHint().height() };
}

void ActionTitleLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    fit();
}

void ActionTitleLabel::fit()
{
    const QString shown = fontMetrics().elidedText(m_title, Qt::ElideRight, std::max(0, width() - 2));
    if (shown != text())
        setText(shown);
    setToolTip(shown == m_title ? QString() : m_title);
}

}  // namespace mendo
