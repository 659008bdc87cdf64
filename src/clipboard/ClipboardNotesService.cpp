#include "clipboard/ClipboardNotesService.h"

#include "base/Clock.h"
#include "base/Json.h"
#include "base/SystemLog.h"
#include "base/Text.h"
#include "clipboard/ClipboardDates.h"
#include "platform/AtomicFile.h"
#include "platform/DefaultsFileFormat.h"
#include "platform/PrivateFolder.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QUuid>

#include <unistd.h>

namespace mendo {

namespace {

const QString kDefaultTitle = QStringLiteral("Notes");

QByteArray dateNumber(const QDateTime& date)
{
    return QByteArray::number(clipboard_dates::toStored(date), 'g', QLocale::FloatingPointShortest);
}

// Every key is required, each with its own type.
std::optional<QString> string(const QVariantMap& object, const QString& key)
{
    const QVariant value = object.value(key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

std::optional<QDateTime> date(const QVariantMap& object, const QString& key)
{
    const QVariant value = object.value(key);
    if (value.typeId() != QMetaType::Double && value.typeId() != QMetaType::LongLong)
        return std::nullopt;
    return clipboard_dates::fromStored(value.toDouble());
}

std::optional<ClipboardNoteItem> decodeNote(const QVariant& value)
{
    if (value.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    const QVariantMap object = value.toMap();
    const std::optional<QString> id = string(object, QStringLiteral("id"));
    const std::optional<QString> text = string(object, QStringLiteral("text"));
    const std::optional<QDateTime> createdAt = date(object, QStringLiteral("createdAt"));
    const std::optional<QDateTime> updatedAt = date(object, QStringLiteral("updatedAt"));
    if (!id || !text || !createdAt || !updatedAt)
        return std::nullopt;
    return ClipboardNoteItem { *id, *text, *createdAt, *updatedAt };
}

std::optional<ClipboardNoteTab> decodeTab(const QVariant& value)
{
    if (value.typeId() != QMetaType::QVariantMap)
        return std::nullopt;
    const QVariantMap object = value.toMap();
    const std::optional<QString> id = string(object, QStringLiteral("id"));
    const std::optional<QString> title = string(object, QStringLiteral("title"));
    const QVariant notes = object.value(QStringLiteral("notes"));
    const std::optional<QDateTime> createdAt = date(object, QStringLiteral("createdAt"));
    const std::optional<QDateTime> updatedAt = date(object, QStringLiteral("updatedAt"));
    if (!id || !title || notes.typeId() != QMetaType::QVariantList || !createdAt || !updatedAt)
        return std::nullopt;
    ClipboardNoteTab tab { *id, *title, {}, *createdAt, *updatedAt };
    const QVariantList list = notes.toList();
    tab.notes.reserve(list.size());
    for (const QVariant& note : list) {
        std::optional<ClipboardNoteItem> decoded = decodeNote(note);
        if (!decoded)
            return std::nullopt;
        tab.notes.append(std::move(*decoded));
    }
    return tab;
}

}  // namespace

ClipboardNotesService::ClipboardNotesService(
    QString folder, UserDefaults& defaults, Clock& clock, SystemLog* log, QObject* parent)
    : QObject(parent)
    , m_folder(std::move(folder))
    , m_defaults(defaults)
    , m_clock(clock)
    , m_log(log)
{
}

QString ClipboardNotesService::standardFolder()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    // Relative values are to be ignored.
    if (base.isEmpty() || !QDir::isAbsolutePath(base)) {
        const QString home = qEnvironmentVariable("HOME");
        if (home.isEmpty() || !QDir::isAbsolutePath(home))
            return QDir::tempPath() + QStringLiteral("/MendoAI-") + QString::number(::getuid());
        base = home + QStringLiteral("/.local/share");
    }
    return base + QStringLiteral("/MendoAI");
}

QString ClipboardNotesService::primaryPath() const
{
    return m_folder + QLatin1Char('/') + fileName;
}

QString ClipboardNotesService::backupPath() const
{
    return m_folder + QLatin1Char('/') + backupFileName;
}

const QList<ClipboardNoteTab>& ClipboardNotesService::tabs()
{
    ensureLoaded();
    return m_tabs;
}

std::optional<ClipboardNoteTab> ClipboardNotesService::tab(const QString& id)
{
    ensureLoaded();
    for (const ClipboardNoteTab& tab : m_tabs)
        if (tab.id == id)
            return tab;
    return std::nullopt;
}

ClipboardNoteTab ClipboardNotesService::addTab(const QString& title)
{
    ensureLoaded();
    ClipboardNoteTab tab;
    tab.id = newID();
    tab.title = normalizedTitle(title, kDefaultTitle);
    tab.createdAt = now();
    tab.updatedAt = now();
    m_tabs.append(tab);
    changed();
    return tab;
}

void ClipboardNotesService::renameTab(const QString& id, const QString& title)
{
    ensureLoaded();
    for (ClipboardNoteTab& tab : m_tabs) {
        if (tab.id != id)
            continue;
        tab.title = normalizedTitle(title, tab.title);
        tab.updatedAt = now();
        changed();
        return;
    }
}

void ClipboardNotesService::deleteTab(const QString& id)
{
    ensureLoaded();
    m_tabs.removeIf([&id](const ClipboardNoteTab& tab) { return tab.id == id; });
    changed();
}

std::optional<ClipboardNoteItem> ClipboardNotesService::addNote(const QString& tabID, const QString& text)
{
    ensureLoaded();
    const QString trimmed = text::trimmed(text);
    if (trimmed.isEmpty())
        return std::nullopt;
    for (ClipboardNoteTab& tab : m_tabs) {
        if (tab.id != tabID)
            continue;
        ClipboardNoteItem note { newID(), trimmed, now(), now() };
        tab.notes.prepend(note);
        tab.updatedAt = now();
        changed();
        return note;
    }
    return std::nullopt;
}

void ClipboardNotesService::updateNote(const QString& tabID, const QString& noteID, const QString& text)
{
    ensureLoaded();
    const QString trimmed = text::trimmed(text);
    if (trimmed.isEmpty())
        return;
    for (ClipboardNoteTab& tab : m_tabs) {
        if (tab.id != tabID)
            continue;
        for (ClipboardNoteItem& note : tab.notes) {
            if (note.id != noteID)
                continue;
            note.text = trimmed;
            note.updatedAt = now();
            tab.updatedAt = now();
            changed();
            return;
        }
        return;
    }
}

void ClipboardNotesService::deleteNote(const QString& tabID, const QString& noteID)
{
    deleteNotes(tabID, QStringList { noteID });
}

void ClipboardNotesService::deleteNotes(const QString& tabID, const QStringList& noteIDs)
{
    ensureLoaded();
    const QSet<QString> gone(noteIDs.cbegin(), noteIDs.cend());
    for (ClipboardNoteTab& tab : m_tabs) {
        if (tab.id != tabID)
            continue;
        tab.notes.removeIf([&gone](const ClipboardNoteItem& note) { return gone.contains(note.id); });
        tab.updatedAt = now();
        changed();
        return;
    }
}

QString ClipboardNotesService::normalizedTitle(const QString& title, const QString& fallback)
{
    const QString trimmed = text::trimmed(title);
    if (trimmed.isEmpty())
        return fallback;
    return text::graphemePrefix(trimmed, maximumTitleLength);
}

QString ClipboardNotesService::newID()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

QDateTime ClipboardNotesService::now() const
{
    return m_clock.wallNow();
}

void ClipboardNotesService::note(const QString& message)
{
    if (m_log)
        m_log->write(message);
}

void ClipboardNotesService::changed()
{
    save();
    Q_EMIT tabsChanged();
}

void ClipboardNotesService::ensureLoaded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    // Files in a folder someone else controls may have been put there for
    // us to read: only the user-defaults copy is trusted then.
    const QString refused = PrivateFolder::prepare(m_folder, false);
    if (refused.isEmpty() && QFileInfo(m_folder).isDir()) {
        AtomicFile::removeStaleTemporaries(primaryPath());
        AtomicFile::removeStaleTemporaries(backupPath());
    }
    // A copy exists only when the last save could not reach the folder, so
    // it is newer than either file.
    if (m_defaults.contains(fallbackDefaultsKey)) {
        const std::optional<QByteArray> copy = m_defaults.data(fallbackDefaultsKey);
        if (std::optional<QList<ClipboardNoteTab>> tabs = copy ? decode(*copy) : std::nullopt) {
            m_tabs = std::move(*tabs);
            return;
        }
        note(QStringLiteral("The copy of the notes in the user defaults (%1) cannot be decoded; the notes files are "
                            "read instead")
                 .arg(fallbackDefaultsKey));
    }
    if (!refused.isEmpty())
        return;
    for (const QString& path : { primaryPath(), backupPath() }) {
        if (std::optional<QList<ClipboardNoteTab>> tabs = loadFile(path)) {
            m_tabs = std::move(*tabs);
            return;
        }
    }
}

std::optional<QList<ClipboardNoteTab>> ClipboardNotesService::loadFile(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly)) {
        // It may be fine once readable again: left where it is.
        note(QStringLiteral("Notes file %1 cannot be read (%2)").arg(path, file.errorString()));
        return std::nullopt;
    }
    std::optional<QList<ClipboardNoteTab>> tabs = decode(file.readAll());
    if (!tabs)
        setAside(path);
    return tabs;
}

void ClipboardNotesService::setAside(const QString& path)
{
    // The next saves would copy it over the backup and then replace it: kept
    // where the user can still mend it.
    const QString stamp = m_clock.wallNow().toUTC().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = path + QStringLiteral(".corrupt-") + stamp;
    for (int n = 1; QFileInfo::exists(aside); ++n)
        aside = path + QStringLiteral(".corrupt-") + stamp + QLatin1Char('-') + QString::number(n);
    if (QFile::rename(path, aside))
        note(QStringLiteral("Notes file %1 cannot be decoded; it was kept as %2").arg(path, aside));
    else
        note(QStringLiteral("Notes file %1 cannot be decoded and could not be kept aside").arg(path));
}

QString ClipboardNotesService::unreadablePrimary() const
{
    const QString primary = primaryPath();
    if (!QFileInfo::exists(primary))
        return {};
    QFile file(primary);
    if (file.open(QIODevice::ReadOnly))
        return {};
    return QStringLiteral("%1 cannot be read (%2); it is left in place").arg(primary, file.errorString());
}

void ClipboardNotesService::save()
{
    const QByteArray bytes = encode(m_tabs);
    QString error = PrivateFolder::prepare(m_folder);
    // A notes file we cannot read may hold notes we never saw: it is neither
    // replaced nor backed up over the good backup, until it reads again.
    if (error.isEmpty())
        error = unreadablePrimary();
    if (error.isEmpty()) {
        const QString primary = primaryPath();
        const QString backup = backupPath();
        if (QFileInfo(primary).isFile()) {
            // The previous file, byte for byte: a second name for it, which
            // the rename of the new file leaves pointing at the old bytes.
            QFile::remove(backup);
            if (::link(QFile::encodeName(primary).constData(), QFile::encodeName(backup).constData()) != 0) {
                QFile old(primary);
                if (old.open(QIODevice::ReadOnly))
                    AtomicFile::write(backup, old.readAll());
            }
        }
        if (AtomicFile::write(primary, bytes, &error)) {
            // The files hold the newest notes again; an older copy would
            // otherwise win over them at the next start.
            if (m_defaults.contains(fallbackDefaultsKey))
                m_defaults.remove(fallbackDefaultsKey);
            m_fallbackReason.clear();
            return;
        }
    }
    m_defaults.set(fallbackDefaultsKey, bytes);
    // One line per cause, not one per keystroke of an edited note.
    if (std::exchange(m_fallbackReason, error) != error)
        note(QStringLiteral("Notes were kept in the user defaults: %1").arg(error));
}

QByteArray ClipboardNotesService::encode(const QList<ClipboardNoteTab>& tabs)
{
    // Written directly: a QJsonDocument copies every note several times.
    QByteArray out;
    qsizetype size = 2;
    for (const ClipboardNoteTab& tab : tabs) {
        size += tab.title.size() + 160;
        for (const ClipboardNoteItem& note : tab.notes)
            size += note.text.size() + 120;
    }
    out.reserve(size);
    out += '[';
    for (qsizetype t = 0; t < tabs.size(); ++t) {
        const ClipboardNoteTab& tab = tabs[t];
        if (t > 0)
            out += ',';
        out += "{\"createdAt\":" + dateNumber(tab.createdAt) + ",\"id\":";
        json::appendString(out, tab.id);
        out += ",\"notes\":[";
        for (qsizetype n = 0; n < tab.notes.size(); ++n) {
            const ClipboardNoteItem& note = tab.notes[n];
            if (n > 0)
                out += ',';
            out += "{\"createdAt\":" + dateNumber(note.createdAt) + ",\"id\":";
            json::appendString(out, note.id);
            out += ",\"text\":";
            json::appendString(out, note.text);
            out += ",\"updatedAt\":" + dateNumber(note.updatedAt) + '}';
        }
        out += "],\"title\":";
        json::appendString(out, tab.title);
        out += ",\"updatedAt\":" + dateNumber(tab.updatedAt) + '}';
    }
    out += ']';
    return out;
}

std::optional<QList<ClipboardNoteTab>> ClipboardNotesService::decode(const QByteArray& bytes)
{
    const std::optional<QVariant> document = defaults_file::decodeDocument(bytes);
    if (!document || document->typeId() != QMetaType::QVariantList)
        return std::nullopt;
    const QVariantList array = document->toList();
    QList<ClipboardNoteTab> tabs;
    tabs.reserve(array.size());
    for (const QVariant& value : array) {
        std::optional<ClipboardNoteTab> tab = decodeTab(value);
        if (!tab)
            return std::nullopt;
        tabs.append(std::move(*tab));
    }
    return tabs;
}

}  // namespace mendo
