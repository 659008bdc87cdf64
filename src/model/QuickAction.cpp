#include "model/QuickAction.h"

#include "model/MendoPromptLibrary.h"
#include "base/Text.h"

namespace mendo {

namespace {

const QString kStylePrefix = QStringLiteral("style:");

bool isFixedId(const QString& id)
{
    return id == u"ai" || id == u"translate" || id == u"clipboard" || id == u"layout";
}

}  // namespace

QString QuickAction::normalize(const QString& id)
{
    const QString trimmed = text::trimmed(id);
    if (trimmed.startsWith(kStylePrefix) || isFixedId(trimmed))
        return trimmed;
    if (trimmed == u"fix" || trimmed == u"original")
        return QStringLiteral("style:original");
    if (MendoPromptLibrary::builtInStyleIds().contains(trimmed))
        return kStylePrefix + trimmed;
    return trimmed;
}

const QStringList& QuickAction::defaultActionIds()
{
    static const QStringList ids = [] {
        QStringList result;
        for (const QString& id : QStringLiteral("ai translate style:original style:friendly style:emoji style:polite "
                                                "style:professional style:short style:detailed style:humor "
                                                "style:flirt style:romantic style:sexy style:formal style:casual "
                                                "style:support style:expert style:social clipboard layout")
                                     .split(u' '))
            result.append(normalize(id));
        return result;
    }();
    return ids;
}

const QList<QuickAction>& QuickAction::defaultActions()
{
    static const QList<QuickAction> actions = [] {
        QList<QuickAction> result;
        for (const QString& id : defaultActionIds())
            result.append(QuickAction { id });
        return result;
    }();
    return actions;
}

std::optional<QString> QuickAction::styleId() const
{
    if (id == u"translate")
        return id;
    if (id.startsWith(kStylePrefix))
        return id.mid(kStylePrefix.size());
    return std::nullopt;
}

QString QuickAction::title() const
{
    if (id == u"ai")
        return QStringLiteral("AI помощник");
    if (id == u"translate")
        return QStringLiteral("Перевод");
    if (id == u"clipboard")
        return QStringLiteral("Буфер");
    if (id == u"layout")
        return QStringLiteral("Раскладка");
    if (const auto style = styleId(); style && MendoPromptLibrary::builtInStyleIds().contains(*style)) {
        if (*style == u"original")
            return QStringLiteral("Исправить");
        return MendoPromptLibrary::style(*style, {})->name;
    }
    return QStringLiteral("Действие");
}

QString QuickAction::symbolName() const
{
    static const QHash<QString, QString> symbols {
        { "ai", "bubble.left.and.bubble.right" },
        { "translate", "translate" },
        { "original", "wand.and.sparkles" },
        { "friendly", "face.smiling" },
        { "emoji", "sparkles" },
        { "professional", "briefcase" },
        { "short", "bolt" },
        { "detailed", "text.document" },
        { "humor", "theatermasks" },
        { "flirt", "heart.circle" },
        { "romantic", "heart" },
        { "sexy", "flame" },
        { "formal", "building.columns" },
        { "casual", "bubble.left.and.bubble.right" },
        { "support", "hands.sparkles" },
        { "expert", "graduationcap" },
        { "social", "megaphone" },
        { "clipboard", "clipboard" },
        { "layout", "keyboard" },
    };
    return symbols.value(styleId().value_or(id), QStringLiteral("sparkles"));
}

}  // namespace mendo
