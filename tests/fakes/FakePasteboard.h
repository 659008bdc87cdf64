#pragma once

#include "fakes/EventLog.h"
#include "platform/Pasteboard.h"

#include <QSet>
#include <functional>

namespace mendo {

// A pasteboard in memory that keeps any number of items (the X11 one keeps
// one). Every write is recorded in `writes` and, when set, in `log`.
class FakePasteboard final : public Pasteboard {
public:
    qint64 changeCount() const override { return m_changeCount; }

    QList<QStringList> itemTypes() const override
    {
        if (log)
            log->add(QStringLiteral("read items"));
        if (onReadTypes)
            onReadTypes();
        QList<QStringList> types;
        for (const PasteboardItem& item : items) {
            QStringList itemTypes;
            for (const PasteboardValue& value : item.values)
                itemTypes << value.type;
            types << itemTypes;
        }
        return types;
    }

    std::optional<QByteArray> data(qsizetype item, const QString& type) const override
    {
        if (item < 0 || item >= items.size() || unreadableTypes.contains(type))
            return std::nullopt;
        for (const PasteboardValue& value : items[item].values)
            if (value.type == type)
                return value.data;
        return std::nullopt;
    }

    std::optional<QString> string() const override
    {
        if (items.isEmpty())
            return std::nullopt;
        for (const PasteboardValue& value : items.first().values)
            if (value.type == plainTextType())
                return QString::fromUtf8(value.data);
        return std::nullopt;
    }

    void clearContents() override
    {
        record(QStringLiteral("clear"));
        replace({});
        ownerWindow = 0;
    }

    bool writeItems(const QList<PasteboardItem>& newItems) override
    {
        if (refuseWrites > 0) {
            --refuseWrites;
            ++refusedWrites;
            return false;
        }
        record(QStringLiteral("write ") + describe(newItems));
        replace(newItems);
        ownerWindow = ownWindow;
        return true;
    }

    bool setString(const QString& text) override
    {
        if (refuseWrites > 0) {
            --refuseWrites;
            ++refusedWrites;
            return false;
        }
        record(QStringLiteral("set \"%1\"").arg(text));
        replace({ textItem(text) });
        ownerWindow = ownWindow;
        return true;
    }

    bool announcesChanges() const override { return announces; }

    PasteboardTextReading readText(const Withhold& withhold) const override
    {
        ++textReads;
        if (failTextReads)
            return { *failTextReads, std::nullopt };
        return Pasteboard::readText(withhold);
    }

    qint64 servedRequestCount(quint64 window) const override
    {
        return window == 0 ? m_served.size() : m_served.count(window >> 16);
    }

    // Windows of one client share the bits above the lowest 16 here.
    bool isOwnedByClientOf(quint64 window) const override
    {
        return window != 0 && ownerWindow != 0 && (ownerWindow >> 16) == (window >> 16);
    }

    // Another application fetches the text, as a paste target does once it
    // handles the paste key (logged as "served").
    std::optional<QString> serve(quint64 requestor = kOutsideWindow)
    {
        m_served << (requestor >> 16);
        if (log)
            log->add(QStringLiteral("served"));
        return string();
    }

    // What another application (or the user) does: takes the pasteboard
    // over without being recorded as a write of MendoAI's.
    void copyFromOutside(const QList<PasteboardItem>& newItems, quint64 owner = kOutsideWindow)
    {
        replace(newItems);
        ownerWindow = owner;
    }
    void copyFromOutside(const QString& text, quint64 owner = kOutsideWindow)
    {
        replace({ textItem(text) });
        ownerWindow = owner;
    }

    static PasteboardItem textItem(const QString& text) { return {{{plainTextType(), text.toUtf8()}}}; }

    // "text/plain=abc,text/html=<b>|image/png=..." for short comparisons.
    static QString describe(const QList<PasteboardItem>& items)
    {
        QStringList parts;
        for (const PasteboardItem& item : items) {
            QStringList values;
            for (const PasteboardValue& value : item.values)
                values << value.type + QLatin1Char('=') + QString::fromUtf8(value.data);
            parts << values.join(QLatin1Char(','));
        }
        return parts.join(QLatin1Char('|'));
    }

    // The owner of outside copies unless a test names one: a client of its own.
    static constexpr quint64 kOutsideWindow = 0xEE0001;

    QList<PasteboardItem> items;
    // The window that owns the contents (0: nobody); MendoAI's writes own
    // them through `ownWindow`.
    quint64 ownerWindow = 0;
    quint64 ownWindow = 0x500001;
    // The system refuses this many of the next writes (another client took
    // the selection); they are counted in `refusedWrites`, not in `writes`.
    int refuseWrites = 0;
    int refusedWrites = 0;
    QSet<QString> unreadableTypes;
    // Whether changed() stands for a change notice a watcher may rely on
    // (XFixes), instead of a hint to be checked by polling.
    bool announces = false;
    // Every readText() ends so (an owner that does not answer: unreadable).
    std::optional<PasteboardTextReading::Outcome> failTextReads;
    mutable int textReads = 0;
    QStringList writes;
    EventLog* log = nullptr;
    // Runs at each type read, to change hands between two reads of a reader.
    std::function<void()> onReadTypes;

private:
    void record(const QString& event)
    {
        writes << event;
        if (log)
            log->add(event);
    }
    void replace(const QList<PasteboardItem>& newItems)
    {
        items = newItems;
        ++m_changeCount;
        Q_EMIT changed();
    }

    qint64 m_changeCount = 1;
    QList<quint64> m_served;  // the requesting clients
};

}  // namespace mendo
