#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <map>
#include <optional>

namespace mendo {

// One keyboard input source the user has enabled. On X11 that is one XKB
// group of the current keymap.
struct InputSource {
    int index = -1;  // the platform's handle: the XKB group number
    QString id;  // layout code with its variant: "us", "ru", "ru(phonetic)"
    QString name;  // as the keymap names it: "English (US)", "Russian"

    bool operator==(const InputSource&) const = default;
};

// What one key types in one input source, without and with Shift. A level
// that types no text (a dead key, a modifier, an empty level) is empty.
struct KeyCharacters {
    QString plain;
    QString shifted;
};

// Key code -> characters, in ascending key-code order.
using KeyLayout = std::map<int, KeyCharacters>;

// The system's keyboard input sources: listing them, reading the characters
// their keys type, and selecting one.
class InputSources : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~InputSources() override = default;

    // The enabled sources in the platform's order.
    virtual QList<InputSource> sources() const = 0;
    // The source in use now; none when it cannot be told.
    virtual std::optional<InputSource> current() const = 0;
    // The key layout of a source; none when the source has no key layout.
    virtual std::optional<KeyLayout> keyLayout(const InputSource& source) const = 0;
    // Makes `source` the current one. 0 when it was selected, otherwise the
    // platform's non-zero status.
    virtual int select(const InputSource& source) = 0;

Q_SIGNALS:
    // The current source, the list of sources or their key layouts changed.
    void changed();
};

}  // namespace mendo
