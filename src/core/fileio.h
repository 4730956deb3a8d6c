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

// True when both paths name one file: the same file through links or
// another spelling of the path, or, for a file not yet there, the same
// place.
bool SameFile(std::string_view cp932_a, std::string_view cp932_b);

// The reason of a file error (errno) in words (cp932): a full disk, a
// missing permission, a read-only file system, ...
std::string FileErrorText(int err);

// The whole file; empty optional when it cannot be read (error says why,
// in cp932).
std::optional<std::string> ReadFileBytes(std::string_view cp932_path, std::string* error = nullptr);

// How a write waits for the disk: a durable write is on the disk before it
// replaces the target; a scratch write (work files every run rewrites, that
// nothing trusts across a crash) leaves that to the system, and a crash
// during it may leave no file at all.
enum class WriteMode { kDurable, kScratch };

// Writes data to a temporary file beside the target and renames it into
// place. On failure the target is unchanged, the temporary file removed and
// error says why (a full disk, a read-only target, no permission). An
// existing target keeps its mode; a symbolic link is written through to
// its target, and a link whose target is missing is refused; a target that
// is no regular file or not writable is refused. The temporary name is
// kept within the longest file name the system allows.
// Temporary files of earlier saves of the same target that were killed
// before their rename are removed first.
bool WriteFileAtomic(std::string_view cp932_path, std::string_view data,
                     std::string* error = nullptr, WriteMode mode = WriteMode::kDurable);

// Removes the temporary files "<target name>.tmpXXXXXX" beside a target
// that are at least min_age old (younger ones may belong to a save still
// running); returns how many.
// (<chrono> has no cp932 form: ages are plain seconds.)
inline constexpr long kStaleTempAgeSeconds = 600;
std::size_t RemoveStaleTempFiles(std::string_view cp932_target, long min_age_seconds);

// An advisory lock on a working folder for the length of a run: a lock
// file in the folder, locked with flock so that a run that was killed
// leaves no lock behind. Other runs that ask for the same folder are told
// that it is in use (and by which process) instead of mixing their files
// into it.
class FolderLock {
 public:
  // Takes the lock; empty when another process holds it or the lock file
  // cannot be made (error says why, cp932).
  static std::optional<FolderLock> Acquire(std::string_view cp932_dir, std::string* error);
  FolderLock(FolderLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  FolderLock& operator=(FolderLock&&) = delete;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  ~FolderLock();

 private:
  explicit FolderLock(int fd) : fd_(fd) {}
  int fd_ = -1;
};
inline constexpr const char* kFolderLockName = ".vaultra.lock";

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
