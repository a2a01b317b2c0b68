#include "ui/chooser/variant.h"

namespace ui {

bool Variant::ToBool() const {
    if (const bool* value = std::get_if<bool>(&value_)) {
        return *value;
    }
    if (const QString* text = std::get_if<QString>(&value_)) {
        const QString trimmed = text->trimmed();
        if (trimmed.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0) {
            return true;
        }
        bool is_number = false;
        const double number = trimmed.toDouble(&is_number);
        return is_number && number != 0.0;
    }
    return false;
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
