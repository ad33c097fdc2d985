#include "platform/Exceptions.h"

#include <new>

namespace velmora {

std::string ErrorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.')
        return message + ".";
    return message;
}

std::string ErrorBoxText(const std::exception& failure) {
    if (dynamic_cast<const std::bad_alloc*>(&failure) != nullptr)
        return ErrorBoxText(std::string("Out of memory"));
    return ErrorBoxText(std::string(failure.what()));
}

} // namespace velmora
