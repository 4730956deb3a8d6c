// File access at the program's edge. Paths are cp932 inside the program and
// UTF-8 on disk; every write goes to a temporary name and is renamed into
// place, so a failed write never loses the previous file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vaultra {

std::filesystem::path ToFsPath(std::string_view cp932_path);
std::string FromFsPath(const std::filesystem::path& path);

bool FileExists(std::string_view cp932_path);
bool DirExists(std::string_view cp932_path);
bool MakeDirs(std::string_view cp932_path);
bool RemoveFile(std::string_view cp932_path);

// The whole file; empty optional when it cannot be read (error says why,
// in cp932).
std::optional<std::string> ReadFileBytes(std::string_view cp932_path, std::string* error = nullptr);

// How a write waits for the disk: a durable write is on the disk before it
// replaces the target; a scratch write (work files every run rewrites, that
// nothing trusts across a crash) leaves that to the system, and a crash
// during it may leave no file at all.
enum class WriteMode { kDurable, kScratch };

// Writes data to a temporary file beside the target and renames it into
// place. On failure the target is unchanged and error says why.
bool WriteFileAtomic(std::string_view cp932_path, std::string_view data,
                     std::string* error = nullptr, WriteMode mode = WriteMode::kDurable);

// Splits a text into lines at CR LF, LF or a lone CR; a final line ending
// does not start an empty line.
std::vector<std::string> SplitLines(std::string_view text);

// Joins lines, each ended by CR LF.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

// Path helpers on cp932 text ("/" separators on this platform).
std::string FileNameOf(std::string_view cp932_path);
std::string ChangeExtension(std::string_view cp932_path, std::string_view ext);
std::string DirectoryOf(std::string_view cp932_path);  // with a trailing "/"
std::string WithTrailingSlash(std::string_view cp932_path);

}  // namespace vaultra
