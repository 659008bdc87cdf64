#pragma once

#include "base/Clock.h"

#include <QObject>
#include <QPointer>
#include <memory>

namespace mendo {

class MendoAppState;

// Checks for a newer MendoAI automatically, at start and every six hours.
//
// The update client is not built yet: a check only counts itself.
class AppUpdateManager : public QObject {
    Q_OBJECT
public:
    static constexpr Millis automaticCheckInterval { 21'600'000 };

    explicit AppUpdateManager(Clock& clock, QObject* parent = nullptr);
    ~AppUpdateManager() override;

    // Makes an automatic check on the next turn of the event loop and every
    // six hours after; a second call starts the schedule over.
    virtual void startAutomaticChecks(MendoAppState& appState);

    int automaticChecks() const { return m_automaticChecks; }

private:
    void checkAutomatically();

    Clock& m_clock;
    QPointer<MendoAppState> m_appState;
    std::unique_ptr<Timer> m_pendingCheck;
    std::unique_ptr<Timer> m_timer;
    int m_automaticChecks = 0;
};

}  // namespace mendo
