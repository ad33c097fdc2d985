// The system's failures: one exception type carrying the message text the
// user sees, with a few subtypes so callers can tell the common cases apart.
#pragma once

#include <stdexcept>
#include <string>

namespace velmora {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// A file that cannot be opened for reading.
class EFOpenError : public Exception {
public:
    explicit EFOpenError(const std::string& path) : Exception("Cannot open file " + path) {}
};

// A file that cannot be created for writing.
class EFCreateError : public Exception {
public:
    explicit EFCreateError(const std::string& path) : Exception("Cannot create file " + path) {}
};

// A write that did not complete; names the file so the user knows which.
class EWriteError : public Exception {
public:
    explicit EWriteError(const std::string& path) : Exception("Stream write error: " + path) {}
};

// An index file without the expected version tag.
class EUnsupportedVersion : public Exception {
public:
    EUnsupportedVersion() : Exception("Unsupported file version") {}
};

// A registry value of a type the reader cannot give as text.
class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

// The text the error box shows: a period is added when the message is not
// empty and its last character sorts after the period.
std::string ErrorBoxText(const std::string& message);

// The text of any exception as the error box shows it; memory exhaustion
// gets the system's own wording.
std::string ErrorBoxText(const std::exception& failure);

} // namespace velmora
