#pragma once

#include <QString>
#include <exception>
#include <string>

namespace mendo {

// Errors travel through coroutines as exceptions of this one base and are
// caught where a component turns them into a status or a message. Nothing may
// throw through the Qt event loop or a signal.
class MendoError : public std::exception {
public:
    virtual QString description() const = 0;
    const char* what() const noexcept override;

private:
    mutable std::string m_what;
};

// An error whose description is a ready text: errors of Qt's networking or of
// JSON decoding are passed on with their own wording.
class MessageError : public MendoError {
public:
    explicit MessageError(QString message) : m_message(std::move(message)) {}
    QString description() const override { return m_message; }

private:
    QString m_message;
};

// The description of whatever was thrown: a MendoError's own, else the
// standard exception's text.
QString describeException(const std::exception& e);

}  // namespace mendo
