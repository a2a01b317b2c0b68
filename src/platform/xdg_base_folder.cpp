#include "platform/xdg_base_folder.h"

namespace platform {

std::string XdgBaseFolder(const char* value, const char* home, std::string_view below_home) {
    // A relative value is invalid and to be ignored, as the XDG rules say.
    if (value != nullptr && value[0] == '/') {
        return value;
    }
    if (home != nullptr && home[0] != '\0') {
        return std::string(home) + "/" + std::string(below_home);
    }
    return {};
}

}  // namespace platform
