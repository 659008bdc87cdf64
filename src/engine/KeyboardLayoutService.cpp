#include "engine/KeyboardLayoutService.h"

#include "base/Text.h"

namespace mendo {

namespace {

// The keys of a PC keyboard in the order grave-accent key, top letter row,
// home row, bottom row: 34 unshifted characters, then the same keys shifted.
// Position n of every row is the same key and Shift state.
const QString latinRow = QStringLiteral("`qwertyuiop[]asdfghjkl;'zxcvbnm,./"
                                        "~QWERTYUIOP{}ASDFGHJKL:\"ZXCVBNM<>?");
const QString russianRow = QStringLiteral("ёйцукенгшщзхъфывапролджэячсмитьбю."
                                          "ЁЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭЯЧСМИТЬБЮ,");
const QString ukrainianRow = QStringLiteral("'йцукенгшщзхїфівапролджєячсмитьбю."
                                            "/ЙЦУКЕНГШЩЗХЇФІВАПРОЛДЖЄЯЧСМИТЬБЮ,");

QString folded(const QString& s)
{
    return text::trimmed(s).toLower();
}

bool containsAny(const QString& haystack, std::initializer_list<const char16_t*> needles)
{
    for (const char16_t* n : needles) {
        if (haystack.contains(QStringView(n)))
            return true;
    }
    return false;
}

// "us" as a word of its own ("English (US)", "us", "us(intl)"), never inside
// another word such as "Russian" or "Belarusian".
bool containsWordUs(const QString& lowered)
{
    for (qsizetype at = lowered.indexOf(u"us"); at >= 0; at = lowered.indexOf(u"us", at + 1)) {
        const bool startsWord = at == 0 || !lowered.at(at - 1).isLetterOrNumber();
        const bool endsWord = at + 2 >= lowered.size() || !lowered.at(at + 2).isLetterOrNumber();
        if (startsWord && endsWord)
            return true;
    }
    return false;
}

// A key's text counts only when it is exactly one UTF-16 unit that is a
// character of its own: dead keys (no text) and keys that type several units
// are left out.
std::optional<QString> keyCharacter(const QString& typed)
{
    if (typed.size() != 1 || typed.at(0).isSurrogate())
        return std::nullopt;
    return typed;
}

}  // namespace

KeyboardLayoutService::KeyboardLayoutService(InputSources& sources)
    : m_sources(sources)
{
}

bool KeyboardLayoutService::KeyboardInputSource::isLatin() const
{
    const QString text = (name + QLatin1Char(' ') + id).toLower();
    return containsAny(text, { u"abc", u"u.s.", u"roman", u"latin" }) || containsWordUs(text);
}

QList<KeyboardLayoutService::KeyboardInputSource> KeyboardLayoutService::inputSources() const
{
    QList<KeyboardInputSource> result;
    for (const InputSource& source : m_sources.sources()) {
        if (source.id.isEmpty() || source.name.isEmpty())
            continue;
        result.append({ source, source.id, source.name });
    }
    return result;
}

std::optional<KeyboardLayoutService::KeyboardInputSource> KeyboardLayoutService::findSource(
    const QString& name, const QList<KeyboardInputSource>& in)
{
    const QString needle = folded(name);
    // An empty name would "contain"-match the first source; nobody means that.
    if (needle.isEmpty())
        return std::nullopt;

    for (const KeyboardInputSource& source : in) {
        const QString sourceName = folded(source.name);
        const QString sourceId = folded(source.id);
        if (sourceName == needle || sourceId == needle || sourceName.contains(needle) || sourceId.contains(needle))
            return source;
    }

    auto firstWhoseTextHas = [&](std::initializer_list<const char16_t*> words) -> std::optional<KeyboardInputSource> {
        for (const KeyboardInputSource& source : in) {
            if (containsAny(folded(source.name + QLatin1Char(' ') + source.id), words))
                return source;
        }
        return std::nullopt;
    };
    // Russian before Latin: "russian" contains "us".
    if (containsAny(needle, { u"рус", u"russian", u"ru" }))
        return firstWhoseTextHas({ u"рус", u"russian", u".ru" });
    if (containsAny(needle, { u"укра", u"ukrain", u"ua" }))
        return firstWhoseTextHas({ u"укра", u"ukrain", u".ua" });
    if (containsAny(needle, { u"abc", u"latin", u"u.s", u"us" })) {
        for (const KeyboardInputSource& source : in) {
            if (source.isLatin())
                return source;
        }
    }
    return std::nullopt;
}

void KeyboardLayoutService::switchLayout(const QString& name)
{
    const auto source = findSource(name, inputSources());
    if (!source)
        throw KeyboardLayoutError::layoutNotFound(name);
    // A selection can be refused while another client holds the keyboard
    // state for a moment; a couple of immediate retries ride that out.
    int status = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        status = m_sources.select(source->ref);
        if (status == 0)
            return;
    }
    throw KeyboardLayoutError::switchFailed(name, status);
}

void KeyboardLayoutService::switchLayoutIfNeeded(const QString& name)
{
    const auto source = findSource(name, inputSources());
    if (!source)
        throw KeyboardLayoutError::layoutNotFound(name);
    const auto current = m_sources.current();
    if (current && current->id == source->id)
        return;
    switchLayout(name);
}

KeyboardLayoutSuggestion KeyboardLayoutService::suggestion() const
{
    KeyboardLayoutSuggestion result;
    std::optional<QString> latin;
    std::optional<QString> native;
    for (const KeyboardInputSource& source : inputSources()) {
        result.layouts.append(source.name);
        if (source.isLatin()) {
            if (!latin)
                latin = source.name;
        } else if (!native) {
            native = source.name;
        }
    }
    result.latinSource = latin.value_or(defaultLatinSource);
    result.nativeSource = native.value_or(defaultNativeSource);
    if (result.layouts.isEmpty())
        result.layouts = { defaultLatinSource, QStringLiteral("U.S."), defaultNativeSource, QStringLiteral("Russian") };
    return result;
}

std::optional<QString> KeyboardLayoutService::currentLayoutName() const
{
    const auto current = m_sources.current();
    if (!current || current->name.isEmpty())
        return std::nullopt;
    return current->name;
}

KeyboardLayoutFixResult KeyboardLayoutService::fix(
    const QString& text, const QString& latinSource, const QString& nativeSource)
{
    const QString latinName = latinSource.isEmpty() ? defaultLatinSource : latinSource;
    const QString nativeName = nativeSource.isEmpty() ? defaultNativeSource : nativeSource;

    const QList<KeyboardInputSource> sources = inputSources();
    auto firstWhere = [&](bool latin) -> std::optional<KeyboardInputSource> {
        for (const KeyboardInputSource& source : sources) {
            if (source.isLatin() == latin)
                return source;
        }
        return std::nullopt;
    };
    auto latin = findSource(latinName, sources);
    if (!latin)
        latin = firstWhere(true);
    auto native = findSource(nativeName, sources);
    if (!native)
        native = firstWhere(false);

    if (latin && native) {
        const CachedMaps* maps = nullptr;
        if (m_cachedMaps && m_cachedMaps->latinID == latin->id && m_cachedMaps->nativeID == native->id) {
            maps = &*m_cachedMaps;
        } else if (auto toNative = makeKeyboardMap(*latin, *native)) {
            if (auto toLatin = makeKeyboardMap(*native, *latin)) {
                m_cachedMaps = CachedMaps { latin->id, native->id, std::move(*toNative), std::move(*toLatin) };
                maps = &*m_cachedMaps;
            }
        }
        if (maps) {
            KeyboardLayoutFixResult result
                = convert(text, maps->latinToNative, maps->nativeToLatin, latin->name, native->name);
            if (result.text != text)
                return result;
        }
    }

    const auto [latinToNative, nativeToLatin] = fallbackPair(nativeName);
    return convert(text, latinToNative, nativeToLatin, latinName, nativeName);
}

KeyboardLayoutFixResult KeyboardLayoutService::fix(const QString& text, const MendoSettings& settings)
{
    return fix(text, settings.layoutLatinSource, settings.layoutNativeSource);
}

std::optional<CharacterMap> KeyboardLayoutService::makeKeyboardMap(
    const KeyboardInputSource& from, const KeyboardInputSource& to) const
{
    const auto fromKeys = m_sources.keyLayout(from.ref);
    if (!fromKeys)
        return std::nullopt;
    const auto toKeys = m_sources.keyLayout(to.ref);
    if (!toKeys)
        return std::nullopt;

    CharacterMap map;
    auto add = [&map](const QString& fromTyped, const QString& toTyped) {
        const auto source = keyCharacter(fromTyped);
        const auto target = keyCharacter(toTyped);
        if (!source || !target || *source == *target)
            return;
        // The lowest key code that types a character decides: the main block
        // comes first, so the keypad (whose decimal key types "," in some
        // layouts) and the extra ISO key cannot override the letter rows.
        if (!map.contains(*source))
            map.insert(*source, *target);
    };
    for (const auto& [keyCode, fromKey] : *fromKeys) {
        const auto toKey = toKeys->find(keyCode);
        if (toKey == toKeys->end())
            continue;
        add(fromKey.plain, toKey->second.plain);
        add(fromKey.shifted, toKey->second.shifted);
    }
    if (map.isEmpty())
        return std::nullopt;
    return map;
}

KeyboardLayoutFixResult KeyboardLayoutService::convert(const QString& text, const CharacterMap& latinToNative,
    const CharacterMap& nativeToLatin, const QString& latinLayout, const QString& nativeLayout)
{
    const std::vector<qsizetype> bounds = text::graphemeBoundaries(text);
    auto character = [&](size_t i) { return QStringView(text).mid(bounds[i], bounds[i + 1] - bounds[i]); };

    qsizetype latinCount = 0;
    qsizetype nativeCount = 0;
    for (size_t i = 0; i + 1 < bounds.size(); ++i) {
        const QStringView c = character(i);
        latinCount += latinToNative.contains(c) ? 1 : 0;
        nativeCount += nativeToLatin.contains(c) ? 1 : 0;
    }

    const bool toLatin = latinCount < nativeCount;
    const CharacterMap& map = toLatin ? nativeToLatin : latinToNative;
    QString converted;
    converted.reserve(text.size());
    for (size_t i = 0; i + 1 < bounds.size(); ++i) {
        const QStringView c = character(i);
        if (const QString* replacement = map.find(c))
            converted.append(*replacement);
        else
            converted.append(c);
    }
    return { converted, toLatin, toLatin ? latinLayout : nativeLayout };
}

std::pair<CharacterMap, CharacterMap> KeyboardLayoutService::fallbackPair(const QString& nativeName)
{
    const QString name = folded(nativeName);
    const bool ukrainian = name.contains(u"ukrain") || name.contains(u"укра");
    const QString& nativeRow = ukrainian ? ukrainianRow : russianRow;
    return { makeMap(latinRow, nativeRow), makeMap(nativeRow, latinRow) };
}

CharacterMap KeyboardLayoutService::makeMap(const QString& from, const QString& to)
{
    const std::vector<qsizetype> fromBounds = text::graphemeBoundaries(from);
    const std::vector<qsizetype> toBounds = text::graphemeBoundaries(to);
    CharacterMap map;
    for (size_t i = 0; i + 1 < fromBounds.size(); ++i) {
        const QString key = from.mid(fromBounds[i], fromBounds[i + 1] - fromBounds[i]);
        if (i + 1 < toBounds.size())
            map.insert(key, to.mid(toBounds[i], toBounds[i + 1] - toBounds[i]));
        else
            map.insert(key, key);
    }
    return map;
}

}  // namespace mendo
