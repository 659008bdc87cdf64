#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>

namespace mendo {

// The user's typed key-value store. Values are QVariants of exactly these
// types, which stay distinct through a save and a load: QString, bool, qint64,
// double, QDateTime (a date), QByteArray (data), QVariantList and QVariantMap
// (whose elements are again such values).
//
// The typed reads apply the same coercions for every implementation:
//   boolean   bool; a number is true when non-zero; a string is true when it
//             starts (after blanks and a sign) with y, Y, t, T or a digit 1-9;
//             anything else or absent is false.
//   integer   an integer; a double truncated toward zero and saturated at the
//             qint64 range; a bool as 0/1; a string's leading integer
//             (saturated); anything else or absent is 0.
//   number    a double; an integer; a bool as 0/1; a string's leading number;
//             anything else or absent is 0.
//   string    a string; a number in its shortest decimal form; anything else
//             is nothing.
//   data, date, list, map: only a value of that very type.
class UserDefaults : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~UserDefaults() override = default;

    virtual std::optional<QVariant> object(const QString& key) const = 0;
    virtual void set(const QString& key, const QVariant& value) = 0;
    virtual void remove(const QString& key) = 0;
    virtual QStringList keys() const = 0;

    // Groups a run of writes: a file-backed store writes its file once, when
    // the outermost batch ends, instead of once per key. Batches nest.
    virtual void beginBatch() { }
    virtual void endBatch() { }
    // Writes what a store that gathers its writes still holds back; one that
    // writes at once has nothing to do. Called before the process ends.
    virtual void flush() { }

    class Batch {
    public:
        explicit Batch(UserDefaults& defaults)
            : m_defaults(defaults)
        {
            m_defaults.beginBatch();
        }
        ~Batch() { m_defaults.endBatch(); }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        UserDefaults& m_defaults;
    };

    bool contains(const QString& key) const { return object(key).has_value(); }
    bool boolean(const QString& key) const;
    qint64 integer(const QString& key) const;
    double number(const QString& key) const;
    std::optional<QString> string(const QString& key) const;
    std::optional<QByteArray> data(const QString& key) const;
    std::optional<QDateTime> date(const QString& key) const;
    std::optional<QVariantList> list(const QString& key) const;
    std::optional<QVariantMap> map(const QString& key) const;

Q_SIGNALS:
    // A key was set or removed, here or (for a file-backed store) by another
    // process; an empty key means any key may have changed.
    void changed(const QString& key);
};

}  // namespace mendo
