#include "engine/NativeActionService.h"

#include "model/MendoPromptLibrary.h"
#include "engine/BackendClient.h"
#include "engine/MendoCoreError.h"

namespace mendo {

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
    co_return co_await m_backend.send(input, MendoPromptLibrary::backendAction(action, *style), *style, options);
}

}  // namespace mendo
