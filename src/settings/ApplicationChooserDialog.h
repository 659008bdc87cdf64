#pragma once

#include "settings/ApplicationChooser.h"

#include <QAbstractListModel>
#include <QDialog>
#include <memory>

class QDialogButtonBox;
class QLineEdit;
class QListView;
class QPushButton;
class QSortFilterProxyModel;

namespace mendo {

class ApplicationIcons;
class MendoAppState;

// The applications of the chooser as list rows: the name with the icon,
// which is looked up only once a row is drawn.
class ApplicationChoiceModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int idRole = Qt::UserRole + 1;
    // Name and id, which the filter field searches.
    static constexpr int filterRole = Qt::UserRole + 2;

    ApplicationChoiceModel(QList<ApplicationChoice> choices, ApplicationIcons& icons, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    const ApplicationChoice& choice(int row) const { return m_choices.at(row); }

private:
    QList<ApplicationChoice> m_choices;
    ApplicationIcons& m_icons;
};

// "Choose an application": a filter field over the applications sorted by
// name, and "Add", which takes the selected one.
class ApplicationChooserDialog : public QDialog {
    Q_OBJECT
public:
    ApplicationChooserDialog(
        QList<ApplicationChoice> choices, ApplicationIcons& icons, UiLanguage language, QWidget* parent = nullptr);

    QLineEdit* filterField() const { return m_filter; }
    QListView* list() const { return m_list; }
    QPushButton* addButton() const { return m_add; }
    // The selected row's application; nothing when no row is selected.
    std::optional<ApplicationChoice> selectedChoice() const;
    // Selects the first shown row with this id; false when none shows it.
    bool select(const QString& id);

private:
    void followSelection();

    ApplicationChoiceModel* m_model;
    QSortFilterProxyModel* m_filtered;
    QLineEdit* m_filter;
    QListView* m_list;
    QPushButton* m_add;
};

// Runs the dialog modally over the installed and running applications.
class DialogApplicationChooser final : public ApplicationChooser {
public:
    DialogApplicationChooser(
        const ApplicationCatalog* catalog, const Workspace& workspace, MendoAppState& state, QWidget* parent);
    ~DialogApplicationChooser() override;
    std::optional<ApplicationChoice> chooseApplication() override;
    ApplicationIcons& icons() { return *m_icons; }

private:
    const ApplicationCatalog* m_catalog;
    const Workspace& m_workspace;
    MendoAppState& m_state;
    QWidget* m_parent;
    std::unique_ptr<ApplicationIcons> m_icons;
};

}  // namespace mendo
