#include "ui/hidden_text_accessibility.h"

#include <QAccessible>
#include <QAccessibleEvent>
#include <QLineEdit>
#include <QStyle>

#include <memory>

namespace ui {
namespace {

void MaskingUpdateHandler(QAccessibleEvent* event);

// The handler that was in place before ours: nullptr when Qt's own platform
// handling was. Installing ours on first use keeps it here, fixed for the run.
QAccessible::UpdateHandler PreviousUpdateHandler() {
    static const QAccessible::UpdateHandler previous = QAccessible::installUpdateHandler(&MaskingUpdateHandler);
    return previous;
}

// What the box shows for `text`: its mask character once for each character,
// or nothing when it echoes nothing.
QString Masked(const QLineEdit& box, const QString& text) {
    if (box.echoMode() == QLineEdit::NoEcho) {
        return {};
    }
    const auto mask =
        static_cast<char16_t>(box.style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, &box));
    return {text.size(), QChar(mask)};
}

// The event as it may be heard: a copy with masked text for the text events
// of a box that hides its text; nullptr when the event can go on as it is.
std::unique_ptr<QAccessibleEvent> MaskedCopy(QAccessibleEvent& event) {
    const auto* box = qobject_cast<const QLineEdit*>(event.object());
    if (box == nullptr || box->echoMode() == QLineEdit::Normal) {
        return nullptr;
    }
    QObject* object = event.object();
    std::unique_ptr<QAccessibleEvent> copy;
    switch (event.type()) {
        case QAccessible::TextInserted: {
            const auto& inserted = static_cast<const QAccessibleTextInsertEvent&>(event);
            copy = std::make_unique<QAccessibleTextInsertEvent>(object, inserted.changePosition(),
                                                                Masked(*box, inserted.textInserted()));
            break;
        }
        case QAccessible::TextRemoved: {
            const auto& removed = static_cast<const QAccessibleTextRemoveEvent&>(event);
            copy = std::make_unique<QAccessibleTextRemoveEvent>(object, removed.changePosition(),
                                                                Masked(*box, removed.textRemoved()));
            break;
        }
        case QAccessible::TextUpdated: {
            const auto& updated = static_cast<const QAccessibleTextUpdateEvent&>(event);
            copy = std::make_unique<QAccessibleTextUpdateEvent>(object, updated.changePosition(),
                                                                Masked(*box, updated.textRemoved()),
                                                                Masked(*box, updated.textInserted()));
            break;
        }
        case QAccessible::ValueChanged: {
            const auto& changed = static_cast<const QAccessibleValueChangeEvent&>(event);
            if (changed.value().typeId() != QMetaType::QString) {
                return nullptr;
            }
            copy = std::make_unique<QAccessibleValueChangeEvent>(object, Masked(*box, changed.value().toString()));
            break;
        }
        default:
            return nullptr;
    }
    copy->setChild(event.child());
    return copy;
}

// While it lives, the previous handler is the installed one.
class PreviousHandlerInPlace {
public:
    PreviousHandlerInPlace() { QAccessible::installUpdateHandler(PreviousUpdateHandler()); }
    ~PreviousHandlerInPlace() { QAccessible::installUpdateHandler(&MaskingUpdateHandler); }
    PreviousHandlerInPlace(const PreviousHandlerInPlace&) = delete;
    PreviousHandlerInPlace& operator=(const PreviousHandlerInPlace&) = delete;
};

void MaskingUpdateHandler(QAccessibleEvent* event) {
    if (event->type() == QAccessible::TableModelChanged) {
        // Qt has brought the table's record of its cells up to date before
        // handing this event out, and would do it twice were the event sent
        // again. The platform's bridge has nothing more to do with it.
        if (const QAccessible::UpdateHandler previous = PreviousUpdateHandler(); previous != nullptr) {
            previous(event);
        }
        return;
    }
    const std::unique_ptr<QAccessibleEvent> masked = MaskedCopy(*event);
    // Qt hands an event on, to the previous handler or to the platform when
    // there was none, only through updateAccessibility with that handler in
    // place; ours is back before the next event can come.
    const PreviousHandlerInPlace previous;
    QAccessible::updateAccessibility(masked != nullptr ? masked.get() : event);
}

}  // namespace

void InstallHiddenTextMasking() {
    static_cast<void>(PreviousUpdateHandler());
}

}  // namespace ui
