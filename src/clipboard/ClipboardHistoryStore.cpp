#include "clipboard/ClipboardHistoryStore.h"

#include "base/SystemLog.h"
#include "clipboard/ClipboardHistoryService.h"
#include "platform/AtomicFile.h"
#include "platform/PrivateFolder.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace mendo {

ClipboardHistoryStore::ClipboardHistoryStore(
    QString folder, UserDefaults& defaults, Clock& clock, SystemLog* log, QObject* parent)
    : QObject(parent)
    , m_folder(std::move(folder))
    , m_defaults(defaults)
    , m_clock(clock)
    , m_log(log)
    , m_writer([](const QString& path, const QByteArray& bytes, QString* error) {
        return AtomicFile::write(path, bytes, error);
    })
{
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &ClipboardHistoryStore::flush);
}

ClipboardHistoryStore::~ClipboardHistoryStore()
{
    flush();
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

QString ClipboardHistoryStore::path() const
{
    return m_folder.isEmpty() ? QString() : m_folder + QLatin1Char('/') + fileName;
}

void ClipboardHistoryStore::note(const QString& message)
{
    if (m_log)
        m_log->write(message);
}

QList<ClipboardHistoryItem> ClipboardHistoryStore::load()
{
    m_usesFile = false;
    if (m_folder.isEmpty())
        return loadFromDefaults().value_or(QList<ClipboardHistoryItem> {});
    if (const QString refused = PrivateFolder::prepare(m_folder); !refused.isEmpty()) {
        useDefaults(refused);
        return loadFromDefaults().value_or(QList<ClipboardHistoryItem> {});
    }
    AtomicFile::removeStaleTemporaries(path());
    m_usesFile = true;
    // Held in the user defaults by an older MendoAI, or because the file
    // could not be written last time: newer than the file either way.
    if (m_defaults.contains(storageKey)) {
        if (std::optional<QList<ClipboardHistoryItem>> items = loadFromDefaults()) {
            QString error;
            if (m_writer(path(), ClipboardHistoryService::encode(*items), &error)) {
                m_defaults.remove(storageKey);
                return *items;
            }
            useDefaults(error);
            return *items;
        }
        // Kept aside under its own key by loadFromDefaults.
        m_defaults.remove(storageKey);
    }
    std::optional<QList<ClipboardHistoryItem>> items = loadFromFile();
    return items.value_or(QList<ClipboardHistoryItem> {});
}

std::optional<QList<ClipboardHistoryItem>> ClipboardHistoryStore::loadFromDefaults()
{
    const std::optional<QVariant> stored = m_defaults.object(storageKey);
    if (!stored)
        return std::nullopt;
    std::optional<ClipboardHistoryService::Decoded> decoded;
    if (stored->typeId() == QMetaType::QByteArray)
        decoded = ClipboardHistoryService::decode(stored->toByteArray());
    if (!decoded) {
        // Saving the history would replace it: keep it where nothing writes.
        m_defaults.set(unreadableKey, *stored);
        note(QStringLiteral("The stored clipboard history is unreadable; it was kept under %1 and the "
                            "history starts empty")
                 .arg(unreadableKey));
        return std::nullopt;
    }
    if (decoded->dropped > 0)
        note(QStringLiteral("%1 unreadable clipboard history entries were dropped").arg(decoded->dropped));
    return std::move(decoded->items);
}

std::optional<QList<ClipboardHistoryItem>> ClipboardHistoryStore::loadFromFile()
{
    QFile file(path());
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly)) {
        // It may be fine once readable again: left where it is, and not
        // replaced by a history that lacks its entries.
        useDefaults(QStringLiteral("%1 cannot be read (%2)").arg(path(), file.errorString()));
        return std::nullopt;
    }
    std::optional<ClipboardHistoryService::Decoded> decoded = ClipboardHistoryService::decode(file.readAll());
    if (!decoded) {
        setAside(QStringLiteral("cannot be decoded"));
        return std::nullopt;
    }
    if (decoded->dropped > 0)
        note(QStringLiteral("%1 unreadable clipboard history entries were dropped").arg(decoded->dropped));
    return std::move(decoded->items);
}

void ClipboardHistoryStore::setAside(const QString& reason)
{
    // The next save would replace it: kept where the user can still look.
    const QString stamp = m_clock.wallNow().toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path() + QStringLiteral(".corrupt-") + stamp;
    for (int n = 1; QFileInfo::exists(aside); ++n)
        aside = path() + QStringLiteral(".corrupt-") + stamp + QLatin1Char('-') + QString::number(n);
    if (QFile::rename(path(), aside)) {
        note(QStringLiteral("Clipboard history file %1 %2; it was kept as %3").arg(path(), reason, aside));
        return;
    }
    useDefaults(QStringLiteral("%1 %2 and could not be kept aside").arg(path(), reason));
}

void ClipboardHistoryStore::useDefaults(const QString& reason)
{
    m_usesFile = false;
    note(QStringLiteral("The clipboard history is kept in the user defaults: %1").arg(reason));
}

void ClipboardHistoryStore::save(const QList<ClipboardHistoryItem>& items)
{
    if (!m_usesFile) {
        m_defaults.set(storageKey, ClipboardHistoryService::encode(items));
        return;
    }
    // A copy of the list shares its texts: nothing is encoded here.
    m_pending = items;
    if (!m_writeTimer || !m_writeTimer->isActive())
        m_writeTimer = m_clock.singleShot(writeDelay, [this] { handOff(); });
}

void ClipboardHistoryStore::handOff()
{
    if (!m_pending)
        return;
    {
        std::lock_guard lock(m_mutex);
        m_queued = std::move(m_pending);
        if (!m_thread.joinable())
            m_thread = std::thread([this] { work(); });
    }
    m_pending.reset();
    m_wake.notify_one();
}

void ClipboardHistoryStore::work()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_queued || m_stop; });
        if (!m_queued)
            return;
        const QList<ClipboardHistoryItem> items = std::move(*m_queued);
        m_queued.reset();
        m_busy = true;
        lock.unlock();
        QByteArray bytes = ClipboardHistoryService::encode(items);
        QString error;
        const bool ok = m_writer(path(), bytes, &error);
        lock.lock();
        m_busy = false;
        if (ok) {
            m_wrote = true;
            m_failedBytes.reset();
        } else {
            m_failedBytes = std::move(bytes);
            m_failure = error;
        }
        m_idle.notify_all();
        // The user defaults belong to the main thread.
        QMetaObject::invokeMethod(this, &ClipboardHistoryStore::applyOutcome, Qt::QueuedConnection);
    }
}

void ClipboardHistoryStore::applyOutcome()
{
    std::optional<QByteArray> failed;
    QString failure;
    bool wrote = false;
    {
        std::lock_guard lock(m_mutex);
        failed = std::exchange(m_failedBytes, std::nullopt);
        failure = m_failure;
        wrote = std::exchange(m_wrote, false);
    }
    if (failed) {
        // Kept where the next start finds it first.
        m_defaults.set(storageKey, *failed);
        if (!std::exchange(m_fallbackNoted, true))
            note(QStringLiteral("The clipboard history was kept in the user defaults: %1").arg(failure));
        return;
    }
    // The file holds the newest history again; the older copy would
    // otherwise win over it at the next start.
    if (wrote && m_defaults.contains(storageKey)) {
        m_defaults.remove(storageKey);
        m_fallbackNoted = false;
    }
}

void ClipboardHistoryStore::flush()
{
    m_writeTimer.reset();
    handOff();
    {
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return !m_queued && !m_busy; });
    }
    applyOutcome();
}

}  // namespace mendo
