#include "ui/main/plain_text_bytes.h"

#include "ui/byte_text.h"
#include "util/line_breaks.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace ui {

std::string PlainTextBytes(const QPlainTextEdit& box) {
    QString text = box.document()->toRawText();
    // Blocks are parted by the paragraph separator; Shift+Enter puts a line separator inside one.
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return util::WithCrLfLineBreaks(BytesFromText(text));
}

void SetPlainTextBytes(QPlainTextEdit& box, const std::string& bytes) {
    box.setPlainText(TextFromBytes(bytes));
}

}  // namespace ui
