#pragma once

#include "model/SettingsValueTypes.h"

#include <QAbstractButton>
#include <QScrollArea>
#include <array>

namespace mendo {

class MendoAppState;

// The two colours of a page's icon tile, from the top-leading to the
// bottom-trailing corner.
std::array<QColor, 2> settingsIconGradient(SettingsPage page);

// One page in the sidebar: its icon tile and its title (at most two lines),
// with a faint rounded highlight while it is the selected page.
class SettingsSidebarRow : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int minimumRowHeight = 34;

    SettingsSidebarRow(SettingsPage page, QWidget* parent = nullptr);

    SettingsPage page() const { return m_page; }
    void setTitle(const QString& title);
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int titleWidth(int rowWidth) const;
    QFont titleFont() const;

    SettingsPage m_page;
    bool m_selected = false;
};

// The list of pages, in sidebar order. A row's click selects its page in the
// application state; the titles follow the interface language.
class SettingsSidebarView : public QScrollArea {
    Q_OBJECT
public:
    explicit SettingsSidebarView(MendoAppState& state, QWidget* parent = nullptr);

    SettingsSidebarRow* row(SettingsPage page) const;
    const QList<SettingsSidebarRow*>& rows() const { return m_rows; }

private:
    void showTitles();
    void showSelection();

    MendoAppState& m_state;
    QList<SettingsSidebarRow*> m_rows;
};

}  // namespace mendo
