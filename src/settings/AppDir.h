#pragma once
// The program directory: where the settings file and every data file live, beside the executable.
#include <string>

namespace strumox::settings {

// Directory of the running executable (symbolic links resolved) with a trailing '/'.
// Falls back to "./" if the kernel will not say where the executable is.
std::string executableDir();

}  // namespace strumox::settings
