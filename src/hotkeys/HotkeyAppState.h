#pragma once

#include "model/AIReplyStyle.h"
#include "model/MendoSettings.h"
#include "model/PromptStyle.h"

#include <QList>
#include <QObject>

namespace mendo {

// What the hotkey service reads from the application state and reports to it.
class HotkeyAppState : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~HotkeyAppState() override = default;

    virtual MendoSettings settings() const = 0;
    virtual QList<PromptStyle> promptStyles() const = 0;
    virtual QList<AIReplyStyle> aiReplyStyles() const = 0;
    // Sets the failed status with this text and schedules its return to idle.
    virtual void showFailure(const QString& message) = 0;

Q_SIGNALS:
    // Every assignment of the settings, whichever field changed.
    void settingsChanged();
};

}  // namespace mendo
