#include "support/accessibility_on.h"

#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace testsupport {

bool TurnAccessibilityOn() {
    QPlatformIntegration* platform = QGuiApplicationPrivate::platformIntegration();
    QPlatformAccessibility* accessibility = platform != nullptr ? platform->accessibility() : nullptr;
    if (accessibility == nullptr) {
        return false;
    }
    accessibility->setActive(true);
    return true;
}

}  // namespace testsupport
