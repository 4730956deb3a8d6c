// The scratch file a fuzz target writes its input to, for readers that
// take a path: one per process, on a memory file system when there is one.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <string>

namespace vaultra::fuzz {

// `extension` is the reader's file extension with its dot (".PCJ", ".c");
// each target uses one, so the path is fixed for the process.
inline const std::string& ScratchPath(const char* extension) {
  static const std::string path = [extension] {
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
    return (base / ("vaultra_fuzz_" + std::to_string(::getpid()) + extension)).string();
  }();
  return path;
}

}  // namespace vaultra::fuzz
