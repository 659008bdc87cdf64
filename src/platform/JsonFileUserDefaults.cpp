#include "platform/JsonFileUserDefaults.h"

#include "base/SystemLog.h"
#include "platform/AtomicFile.h"
#include "platform/DefaultsFileFormat.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace mendo {

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

}  // namespace

JsonFileUserDefaults::JsonFileUserDefaults(QString path, Clock& clock, SystemLog* log, QObject* parent)
    : UserDefaults(parent)
    , m_path(std::move(path))
    , m_clock(clock)
    , m_log(log)
{
    load(true);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &JsonFileUserDefaults::reloadIfChanged);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &JsonFileUserDefaults::reloadIfChanged);
    watch();
    if (QCoreApplication* app = QCoreApplication::instance()) {
        connect(app, &QCoreApplication::aboutToQuit, this, [this] {
            m_quitting = true;
            flush();
        });
    }
}

JsonFileUserDefaults::~JsonFileUserDefaults()
{
    flush();
}

QString JsonFileUserDefaults::standardPath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    // Relative values are to be ignored.
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/MendoAI/defaults.json");
}

std::optional<QVariant> JsonFileUserDefaults::object(const QString& key) const
{
    auto it = m_values.constFind(key);
    if (it == m_values.constEnd())
        return std::nullopt;
    return *it;
}

void JsonFileUserDefaults::set(const QString& key, const QVariant& value)
{
    if (!defaults_file::isStorable(value)) {
        fail(QStringLiteral("Settings key %1 was not changed: a value of type %2 cannot be stored")
                 .arg(key, QString::fromLatin1(value.typeName() ? value.typeName() : "none")));
        return;
    }
    change(key, value);
}

void JsonFileUserDefaults::remove(const QString& key)
{
    if (!m_values.contains(key))
        return;
    change(key, std::nullopt);
}

void JsonFileUserDefaults::change(const QString& key, std::optional<QVariant> value)
{
    if (value)
        m_values.insert(key, *value);
    else
        m_values.remove(key);
    m_pending.insert(key, std::move(value));
    scheduleWrite();
    Q_EMIT changed(key);
}

QStringList JsonFileUserDefaults::keys() const
{
    return m_values.keys();
}

void JsonFileUserDefaults::beginBatch()
{
    ++m_batchDepth;
}

void JsonFileUserDefaults::endBatch()
{
    if (m_batchDepth > 0 && --m_batchDepth == 0)
        scheduleWrite();
}

void JsonFileUserDefaults::scheduleWrite()
{
    if (m_pending.isEmpty() || m_batchDepth > 0)
        return;
    if (m_quitting) {
        writePending();
        return;
    }
    // The first change starts the delay and later ones join it; moving the
    // deadline with every change would let a steady stream of them hold the
    // file back forever.
    if (!m_writeTimer || !m_writeTimer->isActive())
        m_writeTimer = m_clock.singleShot(writeDelay, [this] { writePending(); });
}

void JsonFileUserDefaults::flush()
{
    if (m_pending.isEmpty())
        return;
    // An unfinished batch is written too: the process may be about to end.
    writePending();
}

void JsonFileUserDefaults::writePending()
{
    if (m_writeTimer)
        m_writeTimer->cancel();
    // Take in what another process wrote since, so their keys are kept.
    reloadIfChanged();
    // While the file cannot be read the changes wait; reading it again
    // sends them out.
    if (m_pending.isEmpty() || m_writesBlocked)
        return;
    if (writeFile())
        m_pending.clear();
}

JsonFileUserDefaults::Signature JsonFileUserDefaults::currentSignature() const
{
    struct stat st { };
    if (::stat(QFile::encodeName(m_path).constData(), &st) != 0)
        return {};
    return { true, quint64(st.st_ino), qint64(st.st_size),
        qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec };
}

void JsonFileUserDefaults::reloadIfChanged()
{
    watch();
    if (currentSignature() == m_signature)
        return;
    load(false);
}

void JsonFileUserDefaults::load(bool initial)
{
    m_signature = currentSignature();
    QVariantMap read;
    QByteArray text;
    if (m_signature.exists) {
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly)) {
            readFailed(initial, QStringLiteral("could not be read (%1)").arg(file.errorString()));
            return;
        }
        text = file.readAll();
        QString error;
        std::optional<QVariantMap> values = defaults_file::decode(text, &error);
        if (!values) {
            readFailed(initial, QStringLiteral("is not valid JSON (%1)").arg(error));
            return;
        }
        read = std::move(*values);
    }

    if (m_rereadTimer)
        m_rereadTimer->cancel();
    m_unreadableReason.clear();
    m_writesBlocked = false;
    m_written = text;
    for (auto it = m_pending.constBegin(); it != m_pending.constEnd(); ++it) {
        if (it.value())
            read.insert(it.key(), *it.value());
        else
            read.remove(it.key());
    }
    const QVariantMap before = std::exchange(m_values, std::move(read));
    // Writes held back while the file could not be read go out now.
    scheduleWrite();
    if (initial)
        return;
    QSet<QString> keys(before.keyBegin(), before.keyEnd());
    for (auto it = m_values.keyBegin(); it != m_values.keyEnd(); ++it)
        keys.insert(*it);
    for (const QString& key : keys) {
        const bool had = before.contains(key);
        const bool has = m_values.contains(key);
        if (had != has
            || (has
                && defaults_file::encodeValue(before.value(key)) != defaults_file::encodeValue(m_values.value(key))))
            Q_EMIT changed(key);
    }
}

void JsonFileUserDefaults::readFailed(bool initial, const QString& reason)
{
    if (initial) {
        // Nobody else is likely to be writing at this very moment, and this
        // process has nothing of its own to keep: start empty and keep the
        // file for the user to look at.
        setAside(reason);
        m_values.clear();
        return;
    }
    // After start, an unreadable file is most often one that another program
    // is rewriting in place. Keep what this process holds, write nothing over
    // it, and look again shortly.
    m_writesBlocked = true;
    m_unreadableReason = reason;
    if (m_rereadTimer && m_rereadTimer->isActive())
        return;
    m_rereadsLeft = rereadAttempts;
    m_rereadTimer = m_clock.repeating(rereadInterval, [this] { reread(); });
}

void JsonFileUserDefaults::reread()
{
    --m_rereadsLeft;
    watch();
    load(false);
    if (!m_writesBlocked || m_rereadsLeft > 0)
        return;
    m_rereadTimer->cancel();
    // Left alone from here on; a later change of the file is read as usual.
    fail(QStringLiteral("Settings file %1 %2; it is left as it is, and settings are not saved until it can be read")
             .arg(m_path, m_unreadableReason));
}

void JsonFileUserDefaults::setAside(const QString& reason)
{
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = m_path + QStringLiteral(".corrupt-") + stamp;
    for (int n = 1; QFileInfo::exists(aside); ++n)
        aside = m_path + QStringLiteral(".corrupt-") + stamp + QLatin1Char('-') + QString::number(n);
    if (::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(aside).constData()) != 0) {
        m_writesBlocked = true;
        fail(QStringLiteral("Settings file %1 %2 and could not be kept aside (%3); settings will not be saved")
                 .arg(m_path, reason, systemError()));
        return;
    }
    m_signature = {};
    m_written.clear();
    fail(QStringLiteral("Settings file %1 %2; it was kept as %3").arg(m_path, reason, aside));
}

bool JsonFileUserDefaults::writeFile()
{
    if (m_writesBlocked) {
        fail(QStringLiteral("Settings were not saved: %1 could not be read and is left untouched").arg(m_path));
        return false;
    }
    const QByteArray bytes = defaults_file::encode(m_values);
    if (bytes == m_written && currentSignature() == m_signature && m_signature.exists)
        return true;

    const QFileInfo info(m_path);
    if (!QDir().mkpath(info.absolutePath())) {
        fail(QStringLiteral("Settings were not saved: cannot create %1").arg(info.absolutePath()));
        return false;
    }
    QString error;
    if (!AtomicFile::write(m_path, bytes, &error)) {
        fail(QStringLiteral("Settings were not saved: %1").arg(error));
        return false;
    }
    m_written = bytes;
    m_signature = currentSignature();
    m_lastError.clear();
    watch();
    return true;
}

void JsonFileUserDefaults::fail(const QString& message)
{
    m_lastError = message;
    if (m_log)
        m_log->write(message);
}

void JsonFileUserDefaults::watch()
{
    const QString dir = QFileInfo(m_path).absolutePath();
    if (!m_watcher.directories().contains(dir) && QFileInfo::exists(dir))
        m_watcher.addPath(dir);
    if (!m_watcher.files().contains(m_path) && QFileInfo::exists(m_path))
        m_watcher.addPath(m_path);
}

}  // namespace mendo
