#include "settings/UpdatesSettingsView.h"

#include "app/MendoAppState.h"
#include "settings/MainSettingsEnvironment.h"
#include "settings/SettingsControls.h"
#include "ui/MendoTheme.h"
#include "ui/OutlinedBox.h"
#include "ui/SymbolRegistry.h"
#include "updates/AppBuildConfiguration.h"
#include "updates/AppUpdateManager.h"

#include <QCheckBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace mendo {

namespace {

const BiText checkingTitle { QStringLiteral("Checking for updates"), QStringLiteral("Проверяем обновления") };
const BiText requiredTitle { QStringLiteral("Update required"), QStringLiteral("Требуется обновление") };
const BiText availableTitle { QStringLiteral("Update available"), QStringLiteral("Доступно обновление") };
const BiText notCheckedYetTitle { QStringLiteral("Not checked yet"), QStringLiteral("Ещё не проверяли") };
const BiText upToDateTitle { QStringLiteral("Up to date"), QStringLiteral("Версия актуальна") };
const BiText checkTitle { QStringLiteral("Check for Updates"), QStringLiteral("Проверить обновление") };
const BiText checkingButtonTitle { QStringLiteral("Checking..."), QStringLiteral("Проверяем...") };
const BiText currentVersionTitle { QStringLiteral("Current version"), QStringLiteral("Текущая версия") };
const BiText availableVersionRowTitle { QStringLiteral("Available version"), QStringLiteral("Доступная версия") };
const BiText lastCheckedRowTitle { QStringLiteral("Last checked"), QStringLiteral("Последняя проверка") };
const BiText notCheckedTitle { QStringLiteral("Not checked"), QStringLiteral("Нет данных") };
const BiText neverTitle { QStringLiteral("Never"), QStringLiteral("Никогда") };
const BiText whatsNewTitle { QStringLiteral("What's new"), QStringLiteral("Что нового") };
const BiText installTitle { QStringLiteral("Install Update"), QStringLiteral("Установить обновление") };
const BiText automaticTitle { QStringLiteral("Check for updates automatically"),
    QStringLiteral("Автоматически проверять обновления") };
const BiText notificationsTitle { QStringLiteral("Show update notifications"),
    QStringLiteral("Показывать уведомления об обновлениях") };
const BiText noteText { QStringLiteral("MendoAI checks on launch and then at most once per day. Each new version is "
                                       "shown once."),
    QStringLiteral("Проверка идет при запуске и затем не чаще раза в день. Новую версию показываем один раз.") };
const BiText alertTitle { QStringLiteral("Updates"), QStringLiteral("Обновления") };
const BiText okTitle { QStringLiteral("OK"), QStringLiteral("ОК") };
const BiText alertInstallTitle { QStringLiteral("Install"), QStringLiteral("Установить") };

constexpr int infoTitleWidth = 125;
constexpr int headlinePixels = 13;
constexpr int calloutPixels = 12;
constexpr int captionPixels = 11;

QLabel* selectable(QLabel* label)
{
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setWordWrap(true);
    return label;
}

void setIfChanged(QLabel* label, const QString& text)
{
    if (label->text() != text)
        label->setText(text);
}

}  // namespace

UpdatesSettingsView::StatusLine UpdatesSettingsView::statusLine(const AppUpdateSnapshot& snapshot, bool isChecking)
{
    StatusLine line;
    if (snapshot.forceUpdate)
        line = { requiredTitle, QStringLiteral("exclamationmark.triangle.fill"), Tint::orange };
    else if (snapshot.updateAvailable)
        line = { availableTitle, QStringLiteral("arrow.down.circle.fill"), Tint::blue };
    else if (!snapshot.checkedAt)
        line = { notCheckedYetTitle, QStringLiteral("clock"), Tint::secondary };
    else
        line = { upToDateTitle, QStringLiteral("checkmark.circle.fill"), Tint::green };
    if (isChecking) {
        line.title = checkingTitle;
        line.iconName = QStringLiteral("arrow.triangle.2.circlepath");
    }
    return line;
}

QString UpdatesSettingsView::availableVersionTitle(const AppUpdateSnapshot& snapshot, UiLanguage language)
{
    return snapshot.latestVersion ? *snapshot.latestVersion : notCheckedTitle(language);
}

QString UpdatesSettingsView::lastCheckedTitle(const std::optional<QDateTime>& checkedAt, UiLanguage language)
{
    if (!checkedAt || !checkedAt->isValid())
        return neverTitle(language);
    const QDateTime local = checkedAt->toLocalTime();
    if (language == UiLanguage::ru)
        return QLocale(QLocale::Russian, QLocale::Russia).toString(local, QStringLiteral("d MMM yyyy 'г.', HH:mm"));
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(local, QStringLiteral("MMM d, yyyy, h:mm AP"));
}

QColor UpdatesSettingsView::tintColor(Tint tint, const QPalette& palette)
{
    const bool dark = theme::colorSchemeOf(palette) == ColorScheme::dark;
    switch (tint) {
    case Tint::orange:
        return dark ? QColor(255, 159, 10) : QColor(230, 126, 0);
    case Tint::blue:
        return dark ? QColor(10, 132, 255) : QColor(0, 122, 255);
    case Tint::green:
        return dark ? QColor(48, 209, 88) : QColor(40, 167, 69);
    case Tint::secondary:
        break;
    }
    return palette.color(QPalette::PlaceholderText);
}

UpdatesSettingsView::UpdatesSettingsView(const MainSettingsEnvironment& environment, QWidget* parent)
    : QWidget(parent)
    , m_state(environment.appState)
    , m_manager(environment.updateManager)
    , m_statusIcon(new QLabel)
    , m_statusTitle(new QLabel)
    , m_checkButton(new QPushButton)
    , m_currentVersion(selectable(new QLabel))
    , m_availableVersion(selectable(new QLabel))
    , m_lastChecked(selectable(new QLabel))
    , m_message(selectable(new QLabel))
    , m_notesBox(new OutlinedBox(0.045, 0, 10))
    , m_notesTitle(new QLabel)
    , m_notes(selectable(new QLabel))
    , m_install(new QPushButton)
    , m_automaticChecks(new QCheckBox)
    , m_notifications(new QCheckBox)
    , m_note(new QLabel)
{
    auto* texts = new SettingsTexts(m_state, this);

    // The header: the state line, then the check button at the trailing edge.
    m_statusIcon->setObjectName(QStringLiteral("statusIcon"));
    m_statusIcon->setFixedSize(16, 16);
    m_statusTitle->setObjectName(QStringLiteral("statusTitle"));
    m_statusTitle->setFont(theme::sizedFont(m_statusTitle->font(), headlinePixels, QFont::DemiBold));
    m_checkButton->setObjectName(QStringLiteral("checkButton"));
    m_checkButton->setIconSize(QSize(14, 14));
    connect(m_checkButton, &QPushButton::clicked, this, [this] { m_manager.checkManually(m_state.settings()); });
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->setSpacing(6);
    header->addWidget(m_statusIcon, 0, Qt::AlignVCenter);
    header->addWidget(m_statusTitle, 0, Qt::AlignVCenter);
    // Asks for the card's whole width: the button sits at its trailing edge
    // and the texts below wrap at it.
    header->addSpacerItem(new QSpacerItem(SettingsBlock::contentMaximumWidth, 0, QSizePolicy::Expanding));
    header->addWidget(m_checkButton, 0, Qt::AlignVCenter);

    // The versions.
    auto* versions = new QVBoxLayout;
    versions->setContentsMargins(0, 0, 0, 0);
    versions->setSpacing(8);
    auto infoRow = [&](const BiText& title, QLabel* value, const char* name) {
        auto* titleLabel = new QLabel;
        titleLabel->setFont(theme::sizedFont(titleLabel->font(), captionPixels));
        titleLabel->setForegroundRole(QPalette::PlaceholderText);
        titleLabel->setFixedWidth(infoTitleWidth);
        titleLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        titleLabel->setBuddy(value);
        texts->text(titleLabel, title);
        value->setObjectName(QLatin1String(name));
        value->setFont(theme::sizedFont(value->font(), captionPixels));
        value->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        auto* row = new QHBoxLayout;
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(12);
        row->addWidget(titleLabel, 0, Qt::AlignTop);
        row->addWidget(value, 1, Qt::AlignTop);
        versions->addLayout(row);
    };
    infoRow(currentVersionTitle, m_currentVersion, "currentVersionValue");
    infoRow(availableVersionRowTitle, m_availableVersion, "availableVersionValue");
    infoRow(lastCheckedRowTitle, m_lastChecked, "lastCheckedValue");

    m_message->setObjectName(QStringLiteral("messageLabel"));
    m_message->setFont(theme::sizedFont(m_message->font(), calloutPixels));
    m_message->setForegroundRole(QPalette::PlaceholderText);

    m_notesBox->setObjectName(QStringLiteral("releaseNotesBox"));
    m_notesTitle->setFont(theme::sizedFont(m_notesTitle->font(), calloutPixels, QFont::DemiBold));
    texts->text(m_notesTitle, whatsNewTitle);
    m_notes->setObjectName(QStringLiteral("releaseNotes"));
    m_notes->setFont(theme::sizedFont(m_notes->font(), calloutPixels));
    m_notes->setForegroundRole(QPalette::PlaceholderText);
    auto* notesLayout = new QVBoxLayout(m_notesBox);
    notesLayout->setContentsMargins(10, 10, 10, 10);
    notesLayout->setSpacing(6);
    notesLayout->addWidget(m_notesTitle);
    notesLayout->addWidget(m_notes);

    m_install->setObjectName(QStringLiteral("installButton"));
    m_install->setIconSize(QSize(15, 15));
    texts->text(m_install, installTitle);
    // Linux has no update framework: installing is the download page.
    connect(m_install, &QPushButton::clicked, this, [this] { m_manager.openDownload(); });
    auto* installLine = new QHBoxLayout;
    installLine->setContentsMargins(0, 0, 0, 0);
    installLine->addWidget(m_install);
    installLine->addStretch(1);

    auto* status = new SettingsBlock(12);
    status->setObjectName(QStringLiteral("statusBlock"));
    status->rows()->addLayout(header);
    status->rows()->addLayout(versions);
    status->addRow(m_message);
    status->addRow(m_notesBox);
    status->rows()->addLayout(installLine);

    m_automaticChecks->setObjectName(QStringLiteral("automaticChecksToggle"));
    m_notifications->setObjectName(QStringLiteral("notificationsToggle"));
    texts->text(m_automaticChecks, automaticTitle);
    texts->text(m_notifications, notificationsTitle);
    bindToggle(m_automaticChecks, m_state, binding(m_state, &MendoSettings::automaticUpdateChecksEnabled));
    bindToggle(m_notifications, m_state, binding(m_state, &MendoSettings::updateNotificationsEnabled));
    m_note->setObjectName(QStringLiteral("updatesNote"));
    m_note->setWordWrap(true);
    m_note->setFont(theme::sizedFont(m_note->font(), captionPixels));
    m_note->setForegroundRole(QPalette::PlaceholderText);
    texts->text(m_note, noteText);
    auto* options = new SettingsBlock(8);
    options->setObjectName(QStringLiteral("optionsBlock"));
    auto* firstOption = new QHBoxLayout;
    firstOption->setContentsMargins(0, 0, 0, 0);
    firstOption->addWidget(m_automaticChecks);
    firstOption->addSpacerItem(new QSpacerItem(SettingsBlock::contentMaximumWidth, 0, QSizePolicy::Expanding));
    options->rows()->addLayout(firstOption);
    options->addRow(m_notifications);
    options->addRow(m_note);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);
    layout->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(status);
    layout->addWidget(options);

    showState();
    texts->follow([this](UiLanguage) { showState(); });
    connect(&m_manager, &AppUpdateManager::snapshotChanged, this, &UpdatesSettingsView::showState);
    connect(&m_manager, &AppUpdateManager::isCheckingChanged, this, &UpdatesSettingsView::showState);
    connect(&m_manager, &AppUpdateManager::messageChanged, this, &UpdatesSettingsView::showState);
    connect(&m_manager, &AppUpdateManager::alertMessageChanged, this, &UpdatesSettingsView::followAlert);
}

UpdatesSettingsView::~UpdatesSettingsView()
{
    if (m_alert) {
        // Closing the window's page is no answer to the alert.
        disconnect(m_alert, nullptr, this, nullptr);
        delete m_alert;
    }
}

void UpdatesSettingsView::showState()
{
    const UiLanguage language = m_state.settings().uiLanguage;
    const AppUpdateSnapshot& snapshot = m_manager.snapshot();
    const bool checking = m_manager.isChecking();

    showStatusLine();
    const StatusLine line = statusLine(snapshot, checking);
    setIfChanged(m_statusTitle, line.title(language));
    m_statusTitle->setAccessibleName(line.title(language));

    const QString buttonText = (checking ? checkingButtonTitle : checkTitle)(language);
    if (m_checkButton->text() != buttonText)
        m_checkButton->setText(buttonText);
    m_checkButton->setAccessibleName(buttonText);
    m_checkButton->setProperty("showsProgress", checking);
    m_checkButton->setIcon(checking
            ? SymbolRegistry::icon(QStringLiteral("progress.indicator"), palette().color(QPalette::ButtonText))
            : QIcon());
    m_checkButton->setEnabled(!checking);

    setIfChanged(m_currentVersion, AppBuildConfiguration::currentVersion());
    setIfChanged(m_availableVersion, availableVersionTitle(snapshot, language));
    setIfChanged(m_lastChecked, lastCheckedTitle(snapshot.checkedAt, language));

    const QString message = m_manager.message().value_or(QString());
    setIfChanged(m_message, message);
    m_message->setVisible(!message.isEmpty());

    const QString notes = snapshot.releaseNotes.value_or(QString());
    setIfChanged(m_notes, notes);
    m_notesBox->setVisible(!notes.isEmpty());

    m_install->setVisible(snapshot.updateAvailable);
    m_install->setEnabled(snapshot.downloadURL.has_value());

    if (m_alertInstall)
        m_alertInstall->setVisible(snapshot.downloadURL.has_value());
}

void UpdatesSettingsView::showStatusLine()
{
    const StatusLine line = statusLine(m_manager.snapshot(), m_manager.isChecking());
    m_statusIconName = line.iconName;
    m_statusTint = line.tint;
    const QColor tone = tintColor(line.tint, palette());
    m_statusIcon->setPixmap(SymbolRegistry::pixmap(line.iconName, 16, tone, devicePixelRatioF()));
    QPalette colours = m_statusTitle->palette();
    colours.setColor(QPalette::WindowText, tone);
    m_statusTitle->setPalette(colours);

    // The install button is the page's prominent one: filled with the tint.
    QPalette prominent = m_install->palette();
    prominent.setColor(QPalette::Button, palette().color(QPalette::Highlight));
    prominent.setColor(QPalette::ButtonText, palette().color(QPalette::HighlightedText));
    m_install->setPalette(prominent);
    m_install->setIcon(SymbolRegistry::icon(
        QStringLiteral("arrow.down.circle.fill"), palette().color(QPalette::HighlightedText)));
}

void UpdatesSettingsView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange)
        showStatusLine();
}

void UpdatesSettingsView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // An alert raised while the page was not shown opens now.
    followAlert();
}

void UpdatesSettingsView::followAlert()
{
    const QString text = m_manager.alertMessage().value_or(QString());
    if (text.isEmpty()) {
        // Cleared elsewhere (a manual check started): the alert goes away
        // without answering for the user.
        if (m_alert) {
            QMessageBox* alert = m_alert;
            m_alert = nullptr;
            disconnect(alert, nullptr, this, nullptr);
            alert->close();
            alert->deleteLater();
        }
        return;
    }
    if (m_alert) {
        if (m_alert->text() != text)
            m_alert->setText(text);
        return;
    }
    // Never over a hidden window or another page.
    if (!isVisible())
        return;
    openAlert(text);
}

void UpdatesSettingsView::openAlert(const QString& text)
{
    const UiLanguage language = m_state.settings().uiLanguage;
    auto* alert = new QMessageBox(window());
    alert->setObjectName(QStringLiteral("updatesAlert"));
    alert->setAttribute(Qt::WA_DeleteOnClose);
    alert->setIcon(QMessageBox::NoIcon);
    alert->setWindowTitle(alertTitle(language));
    alert->setText(text);
    alert->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_alertInstall = alert->addButton(alertInstallTitle(language), QMessageBox::AcceptRole);
    m_alertInstall->setObjectName(QStringLiteral("alertInstallButton"));
    m_alertOk = alert->addButton(okTitle(language), QMessageBox::RejectRole);
    m_alertOk->setObjectName(QStringLiteral("alertOkButton"));
    alert->setEscapeButton(m_alertOk);
    alert->setDefaultButton(m_alertOk);
    // Without an https address there is nothing to install from.
    m_alertInstall->setVisible(m_manager.snapshot().downloadURL.has_value());
    connect(alert, &QMessageBox::finished, this, &UpdatesSettingsView::alertFinished);
    m_alert = alert;
    alert->open();
    if (alert->isVisible())
        m_manager.alertShown();
}

void UpdatesSettingsView::alertFinished()
{
    QMessageBox* alert = m_alert;
    if (!alert)
        return;
    const bool install = m_alertInstall && alert->clickedButton() == m_alertInstall;
    m_alert = nullptr;
    m_manager.setAlertMessage(std::nullopt);
    if (install)
        m_manager.openDownload();
}

QWidget* makeUpdatesSettingsView(const MainSettingsEnvironment& environment)
{
    return new UpdatesSettingsView(environment);
}

}  // namespace mendo
