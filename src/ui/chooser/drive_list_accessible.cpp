#include "ui/chooser/drive_list_accessible.h"

#include "ui/chooser/drive_list_box.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>

namespace ui {
namespace {

// A drop-down as Qt presents one, but named by its accessible name: its one
// child is the list that drops down, its value the chosen item, and its
// actions open that list. The chosen item is also its read-only text, which
// is where screen readers on Linux look for a drop-down's value.
class AccessibleDriveList : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit AccessibleDriveList(DriveListBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

    [[nodiscard]] void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) {
            return static_cast<QAccessibleTextInterface*>(this);
        }
        return QAccessibleWidget::interface_cast(type);
    }

    [[nodiscard]] QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) {
            return List().currentText();
        }
        return QAccessibleWidget::text(kind);
    }

    [[nodiscard]] int childCount() const override { return 1; }

    [[nodiscard]] QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(List().view()) : nullptr;
    }

    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override {
        return child != nullptr && child->object() == List().view() ? 0 : -1;
    }

    [[nodiscard]] QStringList actionNames() const override {
        return QStringList{pressAction(), showMenuAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action == pressAction() || action == showMenuAction()) {
            List().showPopup();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

    // The text: the chosen item, which the user cannot select or move a caret in.
    [[nodiscard]] QString text(int start_offset, int end_offset) const override {
        return List().currentText().mid(start_offset, end_offset - start_offset);
    }
    [[nodiscard]] int characterCount() const override { return static_cast<int>(List().currentText().size()); }
    [[nodiscard]] int cursorPosition() const override { return 0; }
    void setCursorPosition(int /*position*/) override {}
    void selection(int /*selection_index*/, int* start_offset, int* end_offset) const override {
        *start_offset = 0;
        *end_offset = 0;
    }
    [[nodiscard]] int selectionCount() const override { return 0; }
    void addSelection(int /*start_offset*/, int /*end_offset*/) override {}
    void removeSelection(int /*selection_index*/) override {}
    void setSelection(int /*selection_index*/, int /*start_offset*/, int /*end_offset*/) override {}
    [[nodiscard]] QRect characterRect(int /*offset*/) const override { return {}; }
    [[nodiscard]] int offsetAtPoint(const QPoint& /*point*/) const override { return -1; }
    void scrollToSubstring(int /*start_index*/, int /*end_index*/) override {}
    [[nodiscard]] QString attributes(int offset, int* start_offset, int* end_offset) const override {
        *start_offset = offset;
        *end_offset = offset;
        return {};
    }

private:
    [[nodiscard]] DriveListBox& List() const { return *static_cast<DriveListBox*>(widget()); }
};

QAccessibleInterface* DriveListInterface(const QString& class_name, QObject* object) {
    if (class_name != QLatin1String(DriveListBox::staticMetaObject.className())) {
        return nullptr;
    }
    auto* list = qobject_cast<DriveListBox*>(object);
    return list != nullptr ? new AccessibleDriveList(list) : nullptr;
}

}  // namespace

void InstallDriveListAccessibility() {
    // Qt keeps a factory once, however often it is installed.
    QAccessible::installFactory(&DriveListInterface);
}

}  // namespace ui
