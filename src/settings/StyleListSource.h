#pragma once

#include "app/MendoAppState.h"
#include "settings/StyleCardList.h"

#include <functional>

namespace mendo {

// Where one kind of style lives in the application state: the stored list,
// the working list the cards show, and the state's edits of one style.
template <class Style>
struct StyleListAccess {
    QList<Style> MendoSettings::*stored;
    const QList<Style>& (MendoAppState::*working)() const;
    void (MendoAppState::*update)(const Style&);
    void (MendoAppState::*remove)(const Style&);
    QSet<QString> builtInIds;
    EditedStyle (*edited)(const Style&);
};

// One change made onto the style of `id` as stored now; nothing when the style
// is gone (a Reset on another card's way) or the field already holds it.
template <class Style>
void writeStoredStyle(
    MendoAppState& state, const StyleListAccess<Style>& access, const QString& id, const std::function<void(Style&)>& change)
{
    for (const Style& stored : state.settings().*access.stored) {
        if (stored.id != id)
            continue;
        Style copy = stored;
        change(copy);
        if (copy != stored)
            (state.*access.update)(copy);
        return;
    }
}

// The cards' source over one kind of style: the name, the prompt and the
// hotkey written field by field; the "Auto" switch is the caller's to add.
template <class Style>
StyleCardList::Source styleListSource(MendoAppState& state, StyleListAccess<Style> access)
{
    StyleCardList::Source source;
    source.styles = [&state, access] {
        QList<EditedStyle> styles;
        styles.reserve((state.*access.working)().size());
        for (const Style& style : (state.*access.working)())
            styles << access.edited(style);
        return styles;
    };
    source.builtInIds = access.builtInIds;
    source.store.writeText = [&state, access](const QString& id, StyleEditorStore::Field field, const QString& text) {
        writeStoredStyle<Style>(state, access, id, [&](Style& style) {
            switch (field) {
            case StyleEditorStore::Field::name:
                style.name = text;
                break;
            case StyleEditorStore::Field::prompt:
                style.prompt = text;
                break;
            case StyleEditorStore::Field::hotkey:
                style.hotkey = text;
                break;
            case StyleEditorStore::Field::autoReplace:
                break;
            }
        });
    };
    source.store.remove = [&state, access](const QString& id) {
        for (const Style& stored : state.settings().*access.stored) {
            if (stored.id == id) {
                // A copy: the stored entry goes while the deletion runs.
                const Style style = stored;
                (state.*access.remove)(style);
                return;
            }
        }
    };
    return source;
}

}  // namespace mendo
