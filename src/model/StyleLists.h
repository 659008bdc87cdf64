#pragma once

#include <QHash>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QSet>
#include <QString>
#include <optional>

// What the prompt-style and reply-style libraries share when they rebuild a
// saved list on top of their built-in styles.
namespace mendo::style_lists {

template <class Style> QSet<QString> idsOf(const QList<Style>& styles)
{
    QSet<QString> result;
    for (const Style& s : styles)
        result.insert(s.id);
    return result;
}

// Rebuilds a saved list on top of the built-in styles: every built-in style
// keeps its place, merged with the saved style of its id where there is one
// (the first, where a saved id repeats); the user's own styles follow in saved
// order, repeats included.
template <class Style, class Merge>
QList<Style> mergeOverBuiltIns(
    const QList<Style>& builtIns, const QSet<QString>& builtInIds, const QList<Style>& saved, Merge merge)
{
    QHash<QString, const Style*> byId;
    for (const Style& s : saved)
        if (!byId.contains(s.id))
            byId.insert(s.id, &s);

    QList<Style> result;
    result.reserve(builtIns.size() + saved.size());
    for (const Style& builtIn : builtIns) {
        const Style* savedStyle = byId.value(builtIn.id);
        result.append(savedStyle ? merge(builtIn, *savedStyle) : builtIn);
    }
    for (const Style& s : saved)
        if (!builtInIds.contains(s.id))
            result.append(s);
    return result;
}

// The four texts every stored style has; nothing unless the value is an
// object holding all four as strings.
struct StyleTexts {
    QString id;
    QString name;
    QString prompt;
    QString hotkey;
};

inline std::optional<StyleTexts> readTexts(const QJsonValue& value)
{
    const QJsonObject o = value.toObject();
    const QJsonValue id = o.value("id"), name = o.value("name"), prompt = o.value("prompt"), hotkey = o.value("hotkey");
    if (!value.isObject() || !id.isString() || !name.isString() || !prompt.isString() || !hotkey.isString())
        return std::nullopt;
    return StyleTexts { id.toString(), name.toString(), prompt.toString(), hotkey.toString() };
}

// An emptied field falls back to the built-in text.
inline const QString& orDefault(const QString& saved, const QString& builtIn)
{
    return saved.isEmpty() ? builtIn : saved;
}

}  // namespace mendo::style_lists
