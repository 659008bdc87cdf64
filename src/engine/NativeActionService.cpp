#include "engine/NativeActionService.h"

#include "model/MendoPromptLibrary.h"
#include "engine/BackendClient.h"
#include "engine/MendoCoreError.h"
#include "base/Text.h"

namespace mendo {

namespace {

// What the user wrote for a style goes to the service with the text; a
// built-in style still carrying its shipped prompt is known to the service by
// its style word alone.
QString userInstruction(const PromptStyle& style)
{
    const QString prompt = text::trimmed(style.prompt);
    for (const PromptStyle& builtIn : MendoPromptLibrary::defaultStyles())
        if (builtIn.id == style.id)
            return prompt == text::trimmed(builtIn.prompt) ? QString() : prompt;
    return prompt;
}

}  // namespace

Task<QString> NativeActionService::run(
    QuickAction action, QString input, QString targetLanguage, QList<PromptStyle> styles)
{
    if (action.id == u"ai")
        throw MendoCoreError::actionNotPortedYet(QStringLiteral("AI assistant"));
    if (action.id == u"clipboard")
        throw MendoCoreError::actionNotPortedYet(QStringLiteral("Clipboard window"));
    if (action.id == u"layout")
        throw MendoCoreError::actionNotPortedYet(QStringLiteral("Keyboard layout fix"));

    const auto styleId = action.styleId();
    const auto style = styleId ? MendoPromptLibrary::style(*styleId, styles) : std::nullopt;
    if (!style)
        throw MendoCoreError::actionNotPortedYet(QStringLiteral("Style ") + action.id);

    BackendSendOptions options;
    options.targetLanguage = targetLanguage;
    options.retryOnUnchangedTranslation = true;
    options.userInstruction = userInstruction(*style);
    co_return co_await m_backend.send(input, MendoPromptLibrary::backendAction(action, *style), *style, options);
}

}  // namespace mendo
