#pragma once

#include <QObject>

class QSocketNotifier;

namespace mendo {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the main thread, so
// that a killed MendoAI ends through its normal termination path (and, for
// example, switches a built-in display it turned off back on). One object at
// a time; the previous handlers come back when it is destroyed.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

Q_SIGNALS:
    void received(int signalNumber);

private:
    void drain();

    QSocketNotifier* m_notifier = nullptr;
};

}  // namespace mendo
