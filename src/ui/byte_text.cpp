#include "ui/byte_text.h"

#include "platform/code_page.h"

namespace ui {

std::string BytesFromText(const QString& text) {
    // toStdU32String() turns a lone surrogate into U+FFFD, which the code page writes as '?'.
    return platform::codepage::BytesFromCodePoints(text.toStdU32String());
}

QString TextFromBytes(const std::string& bytes) {
    return QString::fromStdU32String(platform::codepage::CodePointsFromBytes(bytes));
}

}  // namespace ui
