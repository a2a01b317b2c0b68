#pragma once

#include <QObject>
#include <QString>

#include <source_location>

// Controls found by their names, as a user finds them by their labels.
namespace testsupport {

// Fails the running test, naming the control that `parent` lacks and the line
// that asked for it, and ends the run: every later step of the test would
// fail for that one reason, and a reference cannot come back empty.
[[noreturn]] void FailOnMissingControl(const QObject& parent, const QString& name, const char* type,
                                       const std::source_location& where);

// The control `name` of type `Control` among `parent`'s descendants.
template <typename Control>
Control& Find(const QObject& parent, const QString& name,
              const std::source_location& where = std::source_location::current()) {
    auto* control = parent.findChild<Control*>(name);
    if (control == nullptr) {
        FailOnMissingControl(parent, name, Control::staticMetaObject.className(), where);
    }
    return *control;
}

template <typename Control>
Control& Find(const QObject& parent, const char* name,
              const std::source_location& where = std::source_location::current()) {
    return Find<Control>(parent, QString::fromLatin1(name), where);
}

}  // namespace testsupport
