#include "ui/files/file_window_accessible.h"

#include "ui/files/frm_decode_file.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace ui {
namespace {

// Asked for each class of an object from the most derived one up; answers
// only for the attachment window itself and leaves every other object to Qt.
QAccessibleInterface* FileWindowInterface(const QString& class_name, QObject* object) {
    if (class_name != QLatin1String(frmDecodeFile::staticMetaObject.className())) {
        return nullptr;
    }
    auto* window = qobject_cast<frmDecodeFile*>(object);
    return window != nullptr ? new QAccessibleWidget(window, QAccessible::Window) : nullptr;
}

}  // namespace

void InstallFileWindowAccessibility() {
    // Qt keeps a factory once, however often it is installed.
    QAccessible::installFactory(&FileWindowInterface);
}

}  // namespace ui
