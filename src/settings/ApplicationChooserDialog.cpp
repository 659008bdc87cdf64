#include "settings/ApplicationChooserDialog.h"

#include "app/MendoAppState.h"
#include "base/BiText.h"
#include "platform/ApplicationCatalog.h"
#include "settings/ApplicationIcons.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QVBoxLayout>

namespace mendo {

namespace {

const BiText chooserTitle { QStringLiteral("Choose an application"), QStringLiteral("Выберите приложение") };
const BiText addTitle { QStringLiteral("Add"), QStringLiteral("Добавить") };
const BiText cancelTitle { QStringLiteral("Cancel"), QStringLiteral("Отмена") };
const BiText filterPlaceholder { QStringLiteral("Filter"), QStringLiteral("Фильтр") };
const BiText listName { QStringLiteral("Applications"), QStringLiteral("Приложения") };

// No catalogue at all: only the running applications are offered.
class NoApplications final : public ApplicationCatalog {
public:
    QList<InstalledApplication> installedApplications() const override { return {}; }
};

}  // namespace

ApplicationChoiceModel::ApplicationChoiceModel(
    QList<ApplicationChoice> choices, ApplicationIcons& icons, QObject* parent)
    : QAbstractListModel(parent)
    , m_choices(std::move(choices))
    , m_icons(icons)
{
}

int ApplicationChoiceModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_choices.size());
}

QVariant ApplicationChoiceModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_choices.size())
        return {};
    const ApplicationChoice& choice = m_choices.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return choice.name;
    case Qt::ToolTipRole:
        return choice.id;
    case Qt::DecorationRole:
        return choice.path.isEmpty() ? ApplicationIcons::generic() : m_icons.forName(choice.iconName);
    case idRole:
        return choice.id;
    case filterRole:
        return choice.name + QLatin1Char('\n') + choice.id;
    default:
        return {};
    }
}

ApplicationChooserDialog::ApplicationChooserDialog(
    QList<ApplicationChoice> choices, ApplicationIcons& icons, UiLanguage language, QWidget* parent)
    : QDialog(parent)
    , m_model(new ApplicationChoiceModel(std::move(choices), icons, this))
    , m_filtered(new QSortFilterProxyModel(this))
    , m_filter(new QLineEdit)
    , m_list(new QListView)
{
    setObjectName(QStringLiteral("applicationChooser"));
    setWindowTitle(chooserTitle(language));
    setModal(true);
    resize(440, 520);

    m_filtered->setSourceModel(m_model);
    m_filtered->setFilterRole(ApplicationChoiceModel::filterRole);
    m_filtered->setFilterCaseSensitivity(Qt::CaseInsensitive);

    m_filter->setObjectName(QStringLiteral("applicationFilter"));
    m_filter->setPlaceholderText(filterPlaceholder(language));
    m_filter->setAccessibleName(filterPlaceholder(language));
    m_filter->setClearButtonEnabled(true);

    m_list->setObjectName(QStringLiteral("applicationList"));
    m_list->setAccessibleName(listName(language));
    m_list->setModel(m_filtered);
    // Rows of one height: only the rows in sight are asked for their icon.
    m_list->setUniformItemSizes(true);
    m_list->setIconSize(QSize(24, 24));
    m_list->setSpacing(1);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* buttons = new QDialogButtonBox;
    m_add = buttons->addButton(addTitle(language), QDialogButtonBox::AcceptRole);
    m_add->setObjectName(QStringLiteral("addApplicationButton"));
    m_add->setDefault(true);
    QPushButton* cancel = buttons->addButton(cancelTitle(language), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (selectedChoice())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListView::doubleClicked, this, [this] {
        if (selectedChoice())
            accept();
    });
    connect(m_filter, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_filtered->setFilterFixedString(text.trimmed());
        // The one left, or the first, is what Return adds.
        if (!m_list->selectionModel()->hasSelection() && m_filtered->rowCount() > 0)
            m_list->setCurrentIndex(m_filtered->index(0, 0));
        followSelection();
    });
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &ApplicationChooserDialog::followSelection);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(10);
    layout->addWidget(m_filter);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);
    m_filter->setFocus();
    followSelection();
}

void ApplicationChooserDialog::followSelection()
{
    m_add->setEnabled(selectedChoice().has_value());
}

std::optional<ApplicationChoice> ApplicationChooserDialog::selectedChoice() const
{
    const QModelIndexList selected = m_list->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return std::nullopt;
    const QModelIndex source = m_filtered->mapToSource(selected.first());
    if (!source.isValid())
        return std::nullopt;
    return m_model->choice(source.row());
}

bool ApplicationChooserDialog::select(const QString& id)
{
    for (int row = 0; row < m_filtered->rowCount(); ++row) {
        const QModelIndex index = m_filtered->index(row, 0);
        if (index.data(ApplicationChoiceModel::idRole).toString() == id) {
            m_list->setCurrentIndex(index);
            m_list->scrollTo(index);
            return true;
        }
    }
    return false;
}

DialogApplicationChooser::DialogApplicationChooser(
    const ApplicationCatalog* catalog, const Workspace& workspace, MendoAppState& state, QWidget* parent)
    : m_catalog(catalog)
    , m_workspace(workspace)
    , m_state(state)
    , m_parent(parent)
    , m_icons(std::make_unique<ApplicationIcons>())
{
}

DialogApplicationChooser::~DialogApplicationChooser() = default;

std::optional<ApplicationChoice> DialogApplicationChooser::chooseApplication()
{
    static const NoApplications none;
    const UiLanguage language = m_state.settings().uiLanguage;
    ApplicationChooserDialog dialog(
        applicationChoices(m_catalog ? *m_catalog : none, m_workspace, language), *m_icons, language, m_parent);
    // A window of its own takes no palette from the settings window's scheme.
    if (m_parent) {
        QPalette colours = m_parent->palette();
        // Every role as set, not only those the parent set itself.
        colours.setResolveMask(~QPalette::ResolveMask(0));
        dialog.setPalette(colours);
    }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedChoice();
}

}  // namespace mendo
