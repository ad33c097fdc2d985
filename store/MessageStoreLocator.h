// Where IncrediMail keeps the message store: the application path and the
// identity from its machine-wide registry key, joined into the store's path.
#pragma once

#include "platform/Registry.h"
#include "platform/ShellNamespace.h"

#include <string>

namespace velmora {

// applicationPath + "\Identities\" + identity + "\Message Store", exactly as
// the parts stand: no separator is added or removed.
std::string JoinMessageStorePath(const std::string& applicationPath, const std::string& identity);

// Reads the two values through registry and joins them: the machine key's
// "SOFTWARE\IncrediMail" is opened without creating it, and when it cannot
// be opened both reads are made relative to the root. Raises the reader's
// ERegistryException for a value that is not a string.
std::string ReadMessageStorePath(TRegIniFile& registry);

// The store path from the registry of the user's environment.
std::string GetMessageStorePath();

// The store path as a path of this system: a Windows path "X:\..." goes
// through the Wine prefix's drive X:. A path that no drive of the prefix
// maps is returned as it stands.
std::string LocalStorePath(const std::string& storePath, const TShellNamespace& shell);
std::string LocalStorePath(const std::string& storePath);

} // namespace velmora
