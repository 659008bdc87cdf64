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

// Saved ids should be unique; where one repeats, its first occurrence counts.
template <class Style> QHash<QString, const Style*> firstById(const QList<Style>& styles)
{
    QHash<QString, const Style*> result;
    for (const Style& s : styles)
        if (!result.contains(s.id))
            result.insert(s.id, &s);
    return result;
}

// The user's own styles follow the built-ins in saved order, repeats included.
template <class Style>
void appendUserStyles(QList<Style>& result, const QList<Style>& saved, const QSet<QString>& builtInIds)
{
    for (const Style& s : saved)
        if (!builtInIds.contains(s.id))
            result.append(s);
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
