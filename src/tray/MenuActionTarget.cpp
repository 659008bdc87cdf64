#include "tray/MenuActionTarget.h"

namespace mendo {

MenuActionTarget::MenuActionTarget(std::function<void()> action, QObject* parent)
    : QObject(parent)
    , m_action(std::move(action))
{
}

void MenuActionTarget::runAction()
{
    if (m_action)
        m_action();
}

}  // namespace mendo
