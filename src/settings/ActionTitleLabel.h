#pragma once

#include <QLabel>

namespace mendo {

// An action's title on one line: a name longer than the row has room for
// (a user's style may have any name) ends in an ellipsis instead of
// widening the page; the whole name stays its accessible name and tooltip.
class ActionTitleLabel : public QLabel {
    Q_OBJECT
public:
    explicit ActionTitleLabel(QWidget* parent = nullptr);

    QString title() const { return m_title; }
    void setTitle(const QString& title);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void fit();

    QString m_title;
};

}  // namespace mendo
