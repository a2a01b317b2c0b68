#include "ui/chooser/drive_list_accessible.h"

#include "ui/chooser/drive_list_box.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>

namespace ui {
namespace {

// A drop-down as Qt presents one, but named by its accessible name: its one
// child is the list that drops down, its value the chosen item, and its
// actions open that list.
class AccessibleDriveList : public QAccessibleWidget {
public:
    explicit AccessibleDriveList(DriveListBox* list) : QAccessibleWidget(list, QAccessible::ComboBox) {}

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
