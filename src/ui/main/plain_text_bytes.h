#pragma once

#include <string>

class QPlainTextEdit;

// Multi-line boxes and byte strings. A text document keeps every line break
// it is given (CR LF, a lone CR or a lone LF) as a break between blocks and
// changes no other character, control characters and code 0 included; these
// read and write its raw text, not the plain text that would turn a
// no-break space into a space.
namespace ui {

// The box's text as a byte string with every line break as CR LF, the form
// in which protected text was written.
[[nodiscard]] std::string PlainTextBytes(const QPlainTextEdit& box);

// Replaces the box's whole text; CR LF, lone CR and lone LF show as line breaks.
void SetPlainTextBytes(QPlainTextEdit& box, const std::string& bytes);

}  // namespace ui
