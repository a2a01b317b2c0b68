#include "jobs/uncarriable_input.h"

namespace m_Decoder {

std::string TextCannotBeProtected(std::size_t position) {
    return "The text holds characters that cannot be protected (first at character " + std::to_string(position) + ").";
}

}  // namespace m_Decoder
