#include "store/MessageStoreLocator.h"

namespace velmora {

namespace {

class TOpenKeyGuard {
public:
    explicit TOpenKeyGuard(TRegIniFile& registry) : FRegistry(registry) {}
    ~TOpenKeyGuard() { FRegistry.CloseKey(); }
    TOpenKeyGuard(const TOpenKeyGuard&) = delete;
    TOpenKeyGuard& operator=(const TOpenKeyGuard&) = delete;

private:
    TRegIniFile& FRegistry;
};

} // namespace

std::string JoinMessageStorePath(const std::string& applicationPath, const std::string& identity) {
    return applicationPath + "\\Identities\\" + identity + "\\Message Store";
}

std::string ReadMessageStorePath(TRegIniFile& registry) {
    registry.SetRootKey(TRootKey::LocalMachine);
    const TOpenKeyGuard close(registry);
    // Whether the key opens is not looked at: without it the reads below are
    // made relative to the root.
    registry.OpenKey("SOFTWARE\\IncrediMail");
    const std::string applicationPath = registry.ReadString("", "ApplicationPath", "");
    const std::string identity = registry.ReadString("Identities", "", "");
    return JoinMessageStorePath(applicationPath, identity);
}

std::string GetMessageStorePath() {
    TRegIniFile registry;
    return ReadMessageStorePath(registry);
}

std::string LocalStorePath(const std::string& storePath, const TShellNamespace& shell) {
    const std::string local = shell.LocalPath(storePath);
    return local.empty() ? storePath : local;
}

std::string LocalStorePath(const std::string& storePath) {
    return LocalStorePath(storePath, TShellNamespace());
}

} // namespace velmora
