#include "ui/main/program_end.h"

#include <QCoreApplication>

#include <cstdlib>

namespace ui {

void EndTheProgram(Ending how) {
    if (how == Ending::kOrderly) {
        QCoreApplication::quit();
        return;
    }
    // No destructor may run: one of them would wait for the held job.
    std::_Exit(EXIT_FAILURE);
}

}  // namespace ui
