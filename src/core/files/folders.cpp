#include "files/folders.h"

#include <cstdlib>
#include <filesystem>

namespace velmor {

std::string VelmorFolder(FolderKind kind, const EnvLookup& getEnv) {
  auto env = [&](const char* name) -> std::string {
    const char* value = getEnv ? getEnv(name) : std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
  };
  namespace fs = std::filesystem;
  const bool config = kind == FolderKind::Config;
  const std::string own = env(config ? "VELMOR_CONFIG_DIR" : "VELMOR_DATA_DIR");
  if (!own.empty()) return own;
  const std::string xdg = env(config ? "XDG_CONFIG_HOME" : "XDG_DATA_HOME");
  if (!xdg.empty() && xdg.front() == '/') return (fs::path(xdg) / "velmor").string();
  const std::string home = env("HOME");
  if (home.empty() || home.front() != '/') return {};
  return (config ? fs::path(home) / ".config" / "velmor" : fs::path(home) / ".local" / "share" / "velmor").string();
}

std::string DataSubfolder(const char* name, const EnvLookup& getEnv) {
  const std::string data = VelmorFolder(FolderKind::Data, getEnv);
  return data.empty() ? std::string() : (std::filesystem::path(data) / name).string();
}

}  // namespace velmor
