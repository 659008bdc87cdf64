#include "app/MendoAppState.h"

#include "app/ActionDriver.h"
#include "app/ClipboardHistoryClearing.h"
#include "ui/MendoTheme.h"
#include "model/AIReplyStyleLibrary.h"
#include "model/MendoPromptLibrary.h"
#include "model/NativeSettingsStore.h"
#include "base/Clock.h"
#include "platform/SystemTransparency.h"
#include "platform/UserDefaults.h"

#include <QGuiApplication>
#include <QPointer>
#include <QUuid>

namespace mendo {

namespace {

// Eight lower-case hexadecimal digits, fresh for every new user style.
QString newStyleIdSuffix()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).left(8).toLower();
}

QString styleKey(const QString& styleId)
{
    return QStringLiteral("style:") + styleId;
}

}  // namespace

MendoAppState::MendoAppState(Services services, QObject* parent)
    : QObject(parent)
    , m_services(services)
    , m_statusReset(
          services.clock, [this] { return m_status; }, [this] { setStatus(ActionStatus::idle()); })
{
    m_settings = m_services.settingsStore.load();
    m_promptStyles = m_settings.promptStyles;
    m_aiReplyStyles = m_settings.aiReplyStyles;
    m_quickActions.clear();
    for (const QString& id : m_settings.quickMenuActions)
        m_quickActions.append(QuickAction { QuickAction::normalize(id) });
    m_targetLanguage = m_settings.targetLanguage;
    m_systemSurfaceMode = theme::systemResolvedSurfaceMode(m_services.transparency);
    m_driver = std::make_unique<ActionDriver>(*this,
        ActionDriver::Services {
            m_services.selection, m_services.focusedText, m_services.layouts, m_services.engine, m_services.log });
}

MendoAppState::~MendoAppState()
{
    QObject::disconnect(m_defaultsObserver);
    QObject::disconnect(m_appActiveObserver);
}

void MendoAppState::setSelectedSettingsPage(SettingsPage page)
{
    m_selectedSettingsPage = page;
    Q_EMIT selectedSettingsPageChanged();
}

void MendoAppState::setQuickActions(QList<QuickAction> actions)
{
    m_quickActions = std::move(actions);
    Q_EMIT quickActionsChanged();
}

void MendoAppState::setPromptStyles(QList<PromptStyle> styles)
{
    m_promptStyles = std::move(styles);
    Q_EMIT promptStylesChanged();
}

void MendoAppState::setAIReplyStyles(QList<AIReplyStyle> styles)
{
    m_aiReplyStyles = std::move(styles);
    Q_EMIT aiReplyStylesChanged();
}

void MendoAppState::setStatus(ActionStatus status)
{
    m_status = std::move(status);
    m_statusReset.statusChanged(m_status);
    Q_EMIT statusChanged(m_status);
}

void MendoAppState::setPermissionState(PermissionState state)
{
    m_permissionState = state;
    Q_EMIT permissionStateChanged();
}

void MendoAppState::setSampleText(QString text)
{
    m_sampleText = std::move(text);
    Q_EMIT sampleTextChanged();
}

void MendoAppState::setLatestOutput(QString text)
{
    m_latestOutput = std::move(text);
    Q_EMIT latestOutputChanged();
}

void MendoAppState::setTargetLanguage(QString language)
{
    m_targetLanguage = std::move(language);
    Q_EMIT targetLanguageChanged();
}

void MendoAppState::setSettings(MendoSettings settings)
{
    m_settings = std::move(settings);
    settingsDidChange();
}

void MendoAppState::editSettings(const std::function<void(MendoSettings&)>& edit)
{
    edit(m_settings);
    settingsDidChange();
}

void MendoAppState::settingsDidChange()
{
    // No comparison with the previous record: observers that keep derived
    // state (hotkeys, menus) rebuild on every assignment.
    m_services.settingsStore.save(m_settings);
    setPromptStyles(m_settings.promptStyles);
    setAIReplyStyles(m_settings.aiReplyStyles);
    QList<QuickAction> actions;
    for (const QString& id : m_settings.quickMenuActions)
        actions.append(QuickAction { QuickAction::normalize(id) });
    setQuickActions(std::move(actions));
    setTargetLanguage(m_settings.targetLanguage);
    Q_EMIT settingsChanged();
}

QString MendoAppState::localized(const QString& en, const QString& ru) const
{
    return pick(m_settings.uiLanguage, en, ru);
}

QString MendoAppState::title(const QuickAction& action) const
{
    if (action.id == QLatin1String("ai"))
        return localized(QStringLiteral("AI assistant"), QStringLiteral("AI помощник"));
    if (action.id == QLatin1String("clipboard"))
        return localized(QStringLiteral("Clipboard"), QStringLiteral("Буфер"));
    if (action.id == QLatin1String("layout"))
        return localized(QStringLiteral("Layout"), QStringLiteral("Раскладка"));
    const std::optional<QString> styleId = action.styleId();
    if (styleId == QStringLiteral("translate"))
        return localized(QStringLiteral("Translate"), QStringLiteral("Перевод"));
    if (styleId) {
        for (const PromptStyle& style : m_promptStyles) {
            if (style.id == *styleId)
                return styleTitle(style);
        }
    }
    return action.title();
}

QString MendoAppState::styleTitle(const PromptStyle& style) const
{
    if (const std::optional<BiText> builtIn = MendoPromptLibrary::builtInTitle(style.id))
        return builtIn->text(m_settings.uiLanguage);
    return style.name;
}

void MendoAppState::clearClipboardHistory()
{
    if (m_clipboardHistory)
        m_clipboardHistory->clearHistory();
    setStatus(ActionStatus::done(
        localized(QStringLiteral("Clipboard history cleared"), QStringLiteral("История буфера очищена"))));
}

void MendoAppState::startSystemSurfaceObserver()
{
    refreshSystemSurfaceMode();
    if (m_observingSystemSurface)
        return;
    m_observingSystemSurface = true;
    // X11 announces no change of the transparency wishes themselves: the
    // defaults, activation and the poll stand in for that notice.
    m_defaultsObserver = connect(
        &m_services.settingsStore.defaults(), &UserDefaults::changed, this, [this] { refreshSystemSurfaceMode(); });
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        m_appActiveObserver
            = connect(gui, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
                  if (state == Qt::ApplicationActive)
                      refreshSystemSurfaceMode();
              });
    }
    // Wishes that never change need no poll waking the process all day.
    if (m_services.transparency.mayChange())
        m_systemSurfaceTimer
            = m_services.clock.repeating(systemSurfacePollInterval, [this] { refreshSystemSurfaceMode(); });
}

void MendoAppState::refreshSystemSurfaceMode()
{
    const SurfaceMode resolved = theme::systemResolvedSurfaceMode(m_services.transparency);
    if (resolved == m_systemSurfaceMode)
        return;
    m_systemSurfaceMode = resolved;
    Q_EMIT systemSurfaceModeChanged();
}

void MendoAppState::run(const QuickAction& action, bool pasteResult, bool updateSampleText)
{
    m_driver->run(action, pasteResult, updateSampleText);
}

void MendoAppState::addPromptStyle()
{
    const QString id = QStringLiteral("custom-") + newStyleIdSuffix();
    const PromptStyle style {
        id,
        localized(QStringLiteral("New Style"), QStringLiteral("Новый стиль")),
        localized(QStringLiteral("Rewrite the text in the requested style. Preserve the meaning and return only the "
                                 "final text."),
            QStringLiteral("Перепиши текст в нужном стиле. Сохрани смысл и верни только готовый текст.")),
        QStringLiteral("Not assigned"),
        true,
    };
    editSettings([&](MendoSettings& s) { s.promptStyles.append(style); });
    // The new style shows in the quick panel at once.
    const QString key = styleKey(id);
    if (!m_settings.quickMenuOrder.contains(key))
        editSettings([&](MendoSettings& s) { s.quickMenuOrder.append(key); });
    if (!m_settings.quickMenuActions.contains(key))
        editSettings([&](MendoSettings& s) { s.quickMenuActions.append(key); });
    setSelectedSettingsPage(SettingsPage::styles);
}

void MendoAppState::deletePromptStyle(const PromptStyle& style)
{
    // A copy: `style` may be an element of the list the first edit shrinks.
    const QString id = style.id;
    if (MendoPromptLibrary::builtInStyleIds().contains(id))
        return;
    editSettings([&](MendoSettings& s) { s.promptStyles.removeIf([&](const PromptStyle& p) { return p.id == id; }); });
    const QString key = styleKey(id);
    auto isKey = [&](const QString& entry) { return QuickAction::normalize(entry) == key; };
    editSettings([&](MendoSettings& s) { s.quickMenuActions.removeIf(isKey); });
    editSettings([&](MendoSettings& s) { s.quickMenuOrder.removeIf(isKey); });
}

void MendoAppState::updatePromptStyle(const PromptStyle& style)
{
    for (qsizetype i = 0; i < m_settings.promptStyles.size(); ++i) {
        if (m_settings.promptStyles.at(i).id == style.id) {
            editSettings([&](MendoSettings& s) { s.promptStyles[i] = style; });
            return;
        }
    }
}

void MendoAppState::addAIReplyStyle()
{
    const AIReplyStyle style {
        QStringLiteral("custom-reply-") + newStyleIdSuffix(),
        localized(QStringLiteral("New Reply Style"), QStringLiteral("Новый стиль ответа")),
        localized(QStringLiteral("Write a natural ready-to-send reply in the requested style. Return only the reply "
                                 "text."),
            QStringLiteral("Напиши естественный готовый ответ в нужном стиле. Верни только текст ответа.")),
        QStringLiteral("Not assigned"),
    };
    editSettings([&](MendoSettings& s) { s.aiReplyStyles.append(style); });
    setSelectedSettingsPage(SettingsPage::aiReply);
}

void MendoAppState::deleteAIReplyStyle(const AIReplyStyle& style)
{
    // A copy: `style` may be an element of the list the edit shrinks.
    const QString id = style.id;
    if (AIReplyStyleLibrary::builtInStyleIds().contains(id))
        return;
    editSettings([&](MendoSettings& s) { s.aiReplyStyles.removeIf([&](const AIReplyStyle& r) { return r.id == id; }); });
}

void MendoAppState::updateAIReplyStyle(const AIReplyStyle& style)
{
    for (qsizetype i = 0; i < m_settings.aiReplyStyles.size(); ++i) {
        if (m_settings.aiReplyStyles.at(i).id == style.id) {
            editSettings([&](MendoSettings& s) { s.aiReplyStyles[i] = style; });
            return;
        }
    }
}

void MendoAppState::refreshPermissions()
{
    detach(refreshPermissionsTask());
}

void MendoAppState::requestPermissions()
{
    setStatus(ActionStatus::running(
        localized(QStringLiteral("Requesting permissions"), QStringLiteral("Запрашиваю разрешения"))));
    detach(requestPermissionsTask());
}

void MendoAppState::resetMendoPermissions(bool requestAgain)
{
    setStatus(ActionStatus::running(
        localized(QStringLiteral("Resetting permissions"), QStringLiteral("Сбрасываю разрешения"))));
    detach(resetPermissionsTask(requestAgain));
}

Task<> MendoAppState::refreshPermissionsTask()
{
    QPointer<MendoAppState> self(this);
    const PermissionState state = co_await m_services.permissions.currentAccess();
    if (self)
        setPermissionState(state);
}

Task<> MendoAppState::requestPermissionsTask()
{
    QPointer<MendoAppState> self(this);
    const PermissionState state = co_await m_services.permissions.requestAccess();
    if (!self)
        co_return;
    setPermissionState(state);
    // Sent, whatever the desktop granted.
    setStatus(ActionStatus::done(
        localized(QStringLiteral("Permission request sent"), QStringLiteral("Запрос разрешений отправлен"))));
}

Task<> MendoAppState::resetPermissionsTask(bool requestAgain)
{
    QPointer<MendoAppState> self(this);
    Outcome<QStringList> reset = co_await capture(m_services.permissions.resetMendoPermissions());
    if (!self)
        co_return;
    if (!reset.ok()) {
        setStatus(ActionStatus::failed(reset.error));
        co_return;
    }
    // The desktop needs a moment before the cleared grants read back.
    co_await m_services.clock.sleep(permissionResetSettleDelay);
    if (!self)
        co_return;
    PermissionState state;
    if (requestAgain)
        state = co_await m_services.permissions.requestAccess();
    else
        state = co_await m_services.permissions.currentAccess();
    if (!self)
        co_return;
    setPermissionState(state);
    setStatus(requestAgain ? ActionStatus::done(localized(QStringLiteral("Permissions reset. Request sent."),
                  QStringLiteral("Разрешения сброшены. Новый запрос отправлен.")))
                           : ActionStatus::done(localized(QStringLiteral("Mendo permissions reset"),
                               QStringLiteral("Разрешения Mendo сброшены"))));
}

void MendoAppState::openPermissionSettings(PermissionSettingsTarget target)
{
    if (m_services.permissions.openSettings(target))
        return;
    setSelectedSettingsPage(SettingsPage::permissions);
    if (m_showMainWindow)
        m_showMainWindow();
}

}  // namespace mendo
