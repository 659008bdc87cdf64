#pragma once

#include "model/MendoSettings.h"
#include "engine/CharacterMap.h"
#include "engine/KeyboardLayoutError.h"
#include "platform/InputSources.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace mendo {

struct KeyboardLayoutFixResult {
    QString text;
    // True when native characters were turned into Latin ones.
    bool toLatin = false;
    // The name of the input source that suits the converted text.
    std::optional<QString> targetLayout;
};

struct KeyboardLayoutSuggestion {
    QString latinSource;
    QString nativeSource;
    QStringList layouts;
};

// Converts text typed in the wrong keyboard layout back into what was meant,
// key by key, and lists, finds and selects the input sources the user names in
// free form ("ABC", "Русская — ПК", "ru", "Russian"). Main thread only; one
// instance per process, so the maps built for the last pair of sources are
// reused by the next fix.
class KeyboardLayoutService {
public:
    static inline const QString defaultLatinSource = QStringLiteral("ABC");
    static inline const QString defaultNativeSource = QStringLiteral("Русская — ПК");

    explicit KeyboardLayoutService(InputSources& sources);
    KeyboardLayoutService(const KeyboardLayoutService&) = delete;
    KeyboardLayoutService& operator=(const KeyboardLayoutService&) = delete;

    // Never fails: without usable input sources the built-in Russian or
    // Ukrainian PC rows do the conversion.
    KeyboardLayoutFixResult fix(const QString& text, const QString& latinSource, const QString& nativeSource);
    // The same with the source names of the user's settings.
    KeyboardLayoutFixResult fix(const QString& text, const MendoSettings& settings);

    // Throw KeyboardLayoutError.
    void switchLayout(const QString& name);
    void switchLayoutIfNeeded(const QString& name);

    KeyboardLayoutSuggestion suggestion() const;
    std::optional<QString> currentLayoutName() const;

private:
    struct KeyboardInputSource {
        InputSource ref;
        QString id;
        QString name;

        bool isLatin() const;
    };
    struct CachedMaps {
        QString latinID;
        QString nativeID;
        CharacterMap latinToNative;
        CharacterMap nativeToLatin;
    };

    QList<KeyboardInputSource> inputSources() const;
    static std::optional<KeyboardInputSource> findSource(const QString& name, const QList<KeyboardInputSource>& in);
    std::optional<CharacterMap> makeKeyboardMap(const KeyboardInputSource& from, const KeyboardInputSource& to) const;
    static KeyboardLayoutFixResult convert(const QString& text, const CharacterMap& latinToNative,
        const CharacterMap& nativeToLatin, const QString& latinLayout, const QString& nativeLayout);
    static std::pair<CharacterMap, CharacterMap> fallbackPair(const QString& nativeName);
    static CharacterMap makeMap(const QString& from, const QString& to);

    InputSources& m_sources;
    std::optional<CachedMaps> m_cachedMaps;
};

}  // namespace mendo
