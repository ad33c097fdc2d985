#include "conversion/OutputName.h"

namespace velmora {

std::string OutputFileName(const TDateTime& when, int randomNumber) {
    return FormatDateTime(kOutputNamePattern, when) + std::to_string(randomNumber) + ".eml";
}

} // namespace velmora
