#pragma once

#include "model/PromptStyle.h"
#include "model/QuickAction.h"
#include "base/Async.h"
#include "engine/MendoCore.h"

#include <QList>
#include <QString>

namespace mendo {

// What the action driver asks of the engine core: the AI service's answer for
// a quick action and a text. Tests script it.
class TextActionEngine {
public:
    virtual ~TextActionEngine() = default;

    virtual Task<QString> run(QuickAction action, QString input, QString targetLanguage, QList<PromptStyle> styles) = 0;
};

class CoreTextActionEngine final : public TextActionEngine {
public:
    explicit CoreTextActionEngine(MendoCore& core)
        : m_core(core)
    {
    }

    Task<QString> run(QuickAction action, QString input, QString targetLanguage, QList<PromptStyle> styles) override
    {
        return m_core.actions().run(std::move(action), std::move(input), std::move(targetLanguage), std::move(styles));
    }

private:
    MendoCore& m_core;
};

}  // namespace mendo
