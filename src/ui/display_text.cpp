#include "ui/display_text.h"

#include "util/escaped_text.h"

namespace ui {

QString DisplayText(std::string_view bytes) {
    return QString::fromStdString(util::EscapedText(bytes));
}

}  // namespace ui
