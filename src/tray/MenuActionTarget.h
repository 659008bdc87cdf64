#pragma once

#include <QObject>
#include <functional>

namespace mendo {

// The action of one tray menu item. The controller keeps the targets of the
// current menu alive; menu items only point at them.
class MenuActionTarget : public QObject {
    Q_OBJECT
public:
    explicit MenuActionTarget(std::function<void()> action, QObject* parent = nullptr);

    void runAction();

private:
    std::function<void()> m_action;
};

}  // namespace mendo
