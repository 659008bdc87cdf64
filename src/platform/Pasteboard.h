#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace mendo {

// One representation of one pasteboard item: its type and its complete bytes.
struct PasteboardValue {
    QString type;
    QByteArray data;

    bool operator==(const PasteboardValue&) const = default;
};

// One pasteboard item: its representations in the order of the item's type list.
struct PasteboardItem {
    QList<PasteboardValue> values;

    bool operator==(const PasteboardItem&) const = default;
};

// What one owner put on the pasteboard, as far as a clipboard history may
// look at it: its types and, unless the owner marked it as not to be kept,
// its plain text.
struct PasteboardTextReading {
    enum class Outcome {
        read,          // `text` holds the text, or nothing when there is none
        withheld,      // the contents are marked as not to be kept; the text was not read
        unreadable,    // the owner did not answer in time
        ownerChanged,  // another owner took over during the read: its types may not be this text's
    };
    Outcome outcome = Outcome::read;
    std::optional<QString> text;
};

// The system's general copy-and-paste clipboard.
//
// Types are MIME types ("text/plain", "text/html", "image/png",
// "x-kde-passwordManagerHint", ...). Only contents count as types: an
// implementation hides the protocol's own targets (on X11 TARGETS, MULTIPLE,
// TIMESTAMP, SAVE_TARGETS and the like).
//
// The pasteboard holds a list of items, each with its own types. The X11
// CLIPBOARD holds at most one item; writing several merges them into one
// whose types are those of all items, the first item winning on a type that
// occurs twice.
//
// Everything runs on the main thread. Reads are synchronous; an implementation
// that has to ask another process (the X11 selection owner) bounds the wait
// and treats a timeout as "cannot be read".
class Pasteboard : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Pasteboard() override = default;

    // The MIME type of plain text, as string() and setString() use it.
    static QString plainTextType() { return QStringLiteral("text/plain"); }

    // A counter that increases whenever the contents change owner or are
    // rewritten: by another application copying, by clearContents(), by
    // writeItems() and by setString(). It never decreases. Comparing two
    // readings tells whether anything happened in between.
    virtual qint64 changeCount() const = 0;

    // The type list of every item, in item order; empty when the pasteboard
    // holds nothing.
    virtual QList<QStringList> itemTypes() const = 0;

    // The bytes of one type of one item (an index into itemTypes()); nothing
    // when the item or type is gone or its data cannot be obtained.
    virtual std::optional<QByteArray> data(qsizetype item, const QString& type) const = 0;

    // Every representation of every item, each read once and in full, in
    // item and type order: what a saved copy of the contents holds. A type
    // whose data cannot be read is left out; an item keeps its place even
    // when none of its types could be read. An implementation that asks
    // another process reads each type only once and bounds the whole read.
    virtual QList<PasteboardItem> readAllItems() const
    {
        QList<PasteboardItem> items;
        const QList<QStringList> types = itemTypes();
        for (qsizetype index = 0; index < types.size(); ++index) {
            PasteboardItem item;
            for (const QString& type : types[index]) {
                if (std::optional<QByteArray> bytes = data(index, type))
                    item.values.append({ type, *bytes });
            }
            items.append(std::move(item));
        }
        return items;
    }

    // The plain-text contents, decoded as the platform decodes text (on X11
    // UTF8_STRING or text/plain;charset=utf-8 first); nothing when the
    // pasteboard holds no text.
    virtual std::optional<QString> string() const = 0;

    // Decides from the type list whether the contents must not be read; it
    // may fetch the bytes of a type (a small marker) through `fetch`.
    using Withhold = std::function<bool(
        const QStringList& types, const std::function<std::optional<QByteArray>(const QString& type)>& fetch)>;

    // The types and the plain text of the current owner, for a watcher that
    // must never hang on an owner that does not answer: an implementation
    // that asks another process bounds the whole read (on X11 about half a
    // second), and checks that the owner at the end is the one at the start.
    virtual PasteboardTextReading readText(const Withhold& withhold) const
    {
        const qint64 before = changeCount();
        const QList<QStringList> perItem = itemTypes();
        QStringList types;
        for (const QStringList& item : perItem)
            types += item;
        const auto fetch = [this, &perItem](const QString& type) -> std::optional<QByteArray> {
            for (qsizetype item = 0; item < perItem.size(); ++item) {
                if (perItem[item].contains(type))
                    return data(item, type);
            }
            return std::nullopt;
        };
        PasteboardTextReading reading;
        if (withhold && withhold(types, fetch))
            reading.outcome = PasteboardTextReading::Outcome::withheld;
        else
            reading.text = string();
        if (changeCount() != before)
            return { PasteboardTextReading::Outcome::ownerChanged, std::nullopt };
        return reading;
    }

    // Whether changed() follows every change of owner soon after it happens
    // (on X11, when the server has XFixes), so that a watcher needs no poll.
    virtual bool announcesChanges() const { return false; }

    // Empties the pasteboard (and gives up ownership on X11).
    virtual void clearContents() = 0;

    // Replaces the contents with these items, every value byte for byte. An
    // empty list is the same as clearContents(). False when the system
    // refused the write; the pasteboard then still holds what it held. On
    // X11 that happens when another client took the selection after the last
    // event this process read: once the event loop has read that event, a
    // new attempt takes effect.
    virtual bool writeItems(const QList<PasteboardItem>& items) = 0;

    // Replaces the contents with one item holding only this text as plain
    // text. False when the system refused the write, as for writeItems().
    virtual bool setString(const QString& text) = 0;

    // How many times other applications fetched the data of a type that
    // MendoAI had written (the type list and other protocol requests do not
    // count): those of the client (the connection to the display) that owns
    // `window`, or of every client for 0. It never decreases. On X11 a paste
    // is pulled: the target asks for the text only once it handles the paste
    // key, and this count tells when it has.
    virtual qint64 servedRequestCount(quint64 window) const = 0;

    // Whether the pasteboard's current owner is the same client (the same
    // connection to the display) as the one that owns `window`; false when
    // nobody owns the pasteboard or the window is 0.
    virtual bool isOwnedByClientOf(quint64 window) const = 0;

Q_SIGNALS:
    // changeCount() has increased. It may arrive some time after the change
    // (on X11 it follows an event of the server), so a reader that must know
    // exactly compares counts instead.
    void changed();
};

}  // namespace mendo
