#pragma once
// Small file-system questions the core asks.
#include <sys/stat.h>

#include <string>

namespace vrx::platform {

// True when something exists at the path (a file or a directory).
inline bool fileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

}  // namespace vrx::platform
