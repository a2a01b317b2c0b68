#pragma once

#include <QObject>

#include <functional>
#include <string>
#include <vector>

class QMimeData;
class QWidget;

namespace ui {

// The local files that a drag carries, in its order, as the bytes of their
// names, or none when it carries anything else (text, a link to a web page, a
// mix of the two).
[[nodiscard]] std::vector<std::string> DroppedFiles(const QMimeData* data);

// Lets files be dropped anywhere on `window`: on the window itself and on
// every control in it. A drag of files is taken, and the
// drop hands their names to `open`; any other drag (text on a text box) goes
// on to the control as usual. The filter lives as long as the window.
void AcceptFileDrops(QWidget& window, std::function<void(const std::vector<std::string>& files)> open);

}  // namespace ui
