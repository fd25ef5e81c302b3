#include "settings/AppDir.h"

#include <filesystem>
#include <system_error>

namespace strumox::settings {

std::string executableDir()
{
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || !exe.has_parent_path())
        return "./";
    std::string dir = exe.parent_path().string();
    if (!dir.ends_with('/'))
        dir += '/';
    return dir;
}

}  // namespace strumox::settings
