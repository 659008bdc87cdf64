#pragma once

#include "tray/MenuActionTarget.h"

#include <QList>
#include <QPointer>
#include <QString>

namespace mendo {

// One line of the tray menu: an item with its action, or a separator.
struct MenuBarEntry {
    QString title;
    bool separator = false;
    bool enabled = true;
    bool checkable = false;
    bool checked = false;
    // Owned by the controller for as long as this menu is the current one.
    QPointer<MenuActionTarget> target;
};

// The tray menu as data: what the shown menu is built from, and what tests
// read and choose from without a tray.
struct MenuBarMenu {
    QString title;
    QList<MenuBarEntry> entries;

    // The item with this title, or null.
    const MenuBarEntry* item(const QString& itemTitle) const
    {
        for (const MenuBarEntry& entry : entries)
            if (!entry.separator && entry.title == itemTitle)
                return &entry;
        return nullptr;
    }
};

}  // namespace mendo
