#include "ui/chooser/variant.h"

namespace ui {

bool Variant::ToBool() const {
    const bool* value = std::get_if<bool>(&value_);
    return value != nullptr && *value;
}

QString Variant::ToText() const {
    if (const bool* value = std::get_if<bool>(&value_)) {
        return *value ? QStringLiteral("True") : QStringLiteral("False");
    }
    if (const QString* text = std::get_if<QString>(&value_)) {
        return *text;
    }
    return {};
}

}  // namespace ui
