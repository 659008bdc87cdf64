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
    }

    void writeItems(const QList<PasteboardItem>& newItems) override
    {
        record(QStringLiteral("write ") + describe(newItems));
        replace(newItems);
    }

    void setString(const QString& text) override
    {
        record(QStringLiteral("set \"%1\"").arg(text));
        replace({textItem(text)});
    }

    // What another application (or the user) does: takes the pasteboard
    // over without being recorded as a write of MendoAI's.
    void copyFromOutside(const QList<PasteboardItem>& newItems) { replace(newItems); }
    void copyFromOutside(const QString& text) { replace({textItem(text)}); }

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

    QList<PasteboardItem> items;
    QSet<QString> unreadableTypes;
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
};

}  // namespace mendo
