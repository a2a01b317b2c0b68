#pragma once

#include <QObject>
#include <QString>

// Controls found by their names, as a user finds them by their labels.
// The caller's file and line come from __builtin_FILE and __builtin_LINE as
// default arguments: clang 14, which the sanitized build uses, has no
// std::source_location with this standard library.
namespace testsupport {

// Fails the running test, naming the control that `parent` lacks and the line
// that asked for it, and ends the run: every later step of the test would
// fail for that one reason, and a reference cannot come back empty.
[[noreturn]] void FailOnMissingControl(const QObject& parent, const QString& name, const char* type, const char* file,
                                       int line);

// The control `name` of type `Control` among `parent`'s descendants.
template <typename Control>
Control& Find(const QObject& parent, const QString& name, const char* file = __builtin_FILE(),
              int line = __builtin_LINE()) {
    auto* control = parent.findChild<Control*>(name);
    if (control == nullptr) {
        FailOnMissingControl(parent, name, Control::staticMetaObject.className(), file, line);
    }
    return *control;
}

template <typename Control>
Control& Find(const QObject& parent, const char* name, const char* file = __builtin_FILE(),
              int line = __builtin_LINE()) {
    return Find<Control>(parent, QString::fromLatin1(name), file, line);
}

}  // namespace testsupport
