// Names of the saved messages: local date and time to the millisecond, a
// random number from 0 to 999, ".eml" (17 to 20 characters before it).
#pragma once

#include "platform/DateTime.h"

#include <string>

namespace velmora {

inline constexpr const char* kOutputNamePattern = "yyyymmddhhnnsszz";

std::string OutputFileName(const TDateTime& when, int randomNumber);

} // namespace velmora
