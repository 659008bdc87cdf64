#pragma once

#include <QObject>

#include <chrono>

class QSocketNotifier;

namespace mendo {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the main thread, so
// that a killed MendoAI ends through its normal termination path (and, for
// example, switches a built-in display it turned off back on). One object at
// a time; the previous handlers come back when it is destroyed.
//
// A main thread that is stuck (in a call to another application that never
// answers, say) would never see the signal, and the process would outlive the
// request to end. So each signal also arms a grace period: if the process has
// not finished ending when it runs out, SIGALRM ends it the hard way.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(std::chrono::seconds grace = std::chrono::seconds(5), QObject* parent = nullptr);
    ~TerminationSignals() override;

Q_SIGNALS:
    void received(int signalNumber);

private:
    void drain();

    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace mendo
