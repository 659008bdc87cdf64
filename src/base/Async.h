#pragma once

#include "base/Error.h"

#include <QDebug>
#include <QPointer>
#include <qcoro/qcorotask.h>

#include <functional>
#include <optional>

namespace mendo {

template <class T = void>
using Task = QCoro::Task<T>;

// Starts a task nobody awaits. QCoro tasks run eagerly and keep running when
// their Task object is dropped, but an exception would vanish silently: here
// it goes to `onError` (or the debug log), never through the event loop.
template <class T>
void detach(QCoro::Task<T>&& task, std::function<void(const QString&)> onError = {})
{
    auto reportError = [onError](const std::exception& e) {
        const QString message = describeException(e);
        if (onError)
            onError(message);
        else
            qWarning().noquote() << "MendoAI detached task failed:" << message;
    };
    if constexpr (std::is_void_v<T>)
        task.then([] {}, reportError);
    else
        task.then([](auto&&) {}, reportError);
}

// Runs `task` and captures its outcome instead of throwing: the value, or the
// description of the error that ended it.
template <class T>
struct Outcome {
    std::optional<T> value;
    QString error;
    bool ok() const { return value.has_value(); }
};

template <class T>
QCoro::Task<Outcome<T>> capture(QCoro::Task<T> task)
{
    Outcome<T> outcome;
    try {
        outcome.value = co_await std::move(task);
    } catch (const std::exception& e) {
        outcome.error = describeException(e);
    }
    co_return outcome;
}

}  // namespace mendo
