#include "core/fileio.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <random>

#include "core/cp932.h"
#include "core/number.h"

namespace vaultra {

namespace fs = std::filesystem;

fs::path ToFsPath(std::string_view cp932_path) {
  return fs::path(Cp932ToUtf8(cp932_path));
}

std::string FromFsPath(const fs::path& path) {
  return Utf8ToCp932(path.string());
}

bool FileExists(std::string_view p) {
  std::error_code ec;
  return fs::is_regular_file(ToFsPath(p), ec);
}

bool DirExists(std::string_view p) {
  std::error_code ec;
  return fs::is_directory(ToFsPath(p), ec);
}

bool MakeDirs(std::string_view p) {
  std::error_code ec;
  fs::create_directories(ToFsPath(p), ec);
  return DirExists(p);
}

bool RemoveFile(std::string_view p) {
  std::error_code ec;
  return fs::remove(ToFsPath(p), ec);
}

bool SameFile(std::string_view a, std::string_view b) {
  const fs::path pa = ToFsPath(a), pb = ToFsPath(b);
  std::error_code ea, eb;
  if (fs::exists(pa, ea) && fs::exists(pb, eb)) {
    std::error_code ec;
    return fs::equivalent(pa, pb, ec);
  }
  const fs::path ca = fs::weakly_canonical(pa, ea), cb = fs::weakly_canonical(pb, eb);
  return !ea && !eb && ca == cb;
}

std::string FileErrorText(int err) {
  switch (err) {
    case ENOSPC:
    case EDQUOT:
      return "ディスクがいっぱいです";
    case EACCES:
    case EPERM:
      return "アクセス権がありません";
    case EROFS:
      return "読み取り専用のファイルシステムです";
    case ENOENT:
      return "ファイルがありません";
    case EISDIR:
      return "フォルダーです";
    default:
      return Utf8ToCp932(std::strerror(err));
  }
}

namespace {

// Why a path is no regular file: empty when it is one.
std::string NotRegularReason(const fs::path& path) {
  std::error_code ec;
  const fs::file_status st = fs::status(path, ec);
  if (ec || st.type() == fs::file_type::not_found) {
    if (ec && ec.value() != ENOENT) return FileErrorText(ec.value());
    return "ファイルがありません";
  }
  if (st.type() == fs::file_type::regular) return {};
  if (st.type() == fs::file_type::directory) return "通常のファイルではありません(フォルダー)";
  if (st.type() == fs::file_type::fifo) return "通常のファイルではありません(FIFO)";
  if (st.type() == fs::file_type::character || st.type() == fs::file_type::block)
    return "通常のファイルではありません(デバイス)";
  return "通常のファイルではありません";
}

// The start of the temporary names beside a target: the target's name,
// cut (at a character boundary) so that ".tmp" and six hex digits still
// fit in a file name, then ".tmp".
std::string TempPrefix(const std::string& target_name) {
  constexpr std::size_t kNameMax = 255, kSuffix = 10;
  std::string name = target_name;
  if (name.size() + kSuffix > kNameMax) {
    std::size_t cut = kNameMax - kSuffix;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  return name + ".tmp";
}

// Our temporary files beside a target: TempPrefix and six hex digits.
bool IsOurTempName(const std::string& name, const std::string& target_name) {
  const std::string prefix = TempPrefix(target_name);
  if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) return false;
  for (std::size_t i = prefix.size(); i < name.size(); ++i)
    if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
  return true;
}

}  // namespace

std::optional<std::string> ReadFileBytes(std::string_view p, std::string* error) {
  fs::path path = ToFsPath(p);
  const std::string why = NotRegularReason(path);
  if (!why.empty()) {
    if (error) *error = std::string(p) + " を開けません。(" + why + ")";
    return std::nullopt;
  }
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    const int err = errno;
    if (error)
      *error = std::string(p) + " を開けません。" +
               (err != 0 ? std::string("(").append(FileErrorText(err)).append(")") : std::string());
    return std::nullopt;
  }
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    if (error) *error = std::string(p) + " を読めません。";
    return std::nullopt;
  }
  return data;
}

std::size_t RemoveStaleTempFiles(std::string_view cp932_target, long min_age_seconds) {
  const fs::path target = ToFsPath(cp932_target);
  fs::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  const std::string name = target.filename().string();
  const std::time_t now = std::time(nullptr);
  std::size_t removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string entry = it->path().filename().string();
    if (!IsOurTempName(entry, name)) continue;
    struct stat st {};
    if (::lstat(it->path().c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    if (now - st.st_mtime < min_age_seconds) continue;  // another save may be writing it now
    std::error_code e2;
    if (fs::remove(it->path(), e2)) ++removed;
  }
  return removed;
}

bool WriteFileAtomic(std::string_view p, std::string_view data, std::string* error,
                     WriteMode mode) {
  fs::path target = ToFsPath(p);
  auto refuse = [&](const std::string& why) {
    if (error) *error = std::string(p) + " に書き込めません。(" + why + ")";
    return false;
  };
  // A symbolic link is written through: its target gets the new contents
  // and the link stays.
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(target, ec))) {
    // A link to nothing is refused: writing a regular file in its place
    // would drop the link, creating its target may write where nobody
    // expects.
    if (!fs::exists(fs::status(target, ec)))
      return refuse("リンク先のファイルがありません: " + FromFsPath(fs::read_symlink(target, ec)));
    fs::path resolved = fs::weakly_canonical(target, ec);
    if (ec) return refuse(FileErrorText(ec.value()));
    target = resolved;
  }
  // An existing target must be a regular file we may write; its mode is kept.
  std::optional<mode_t> keep_mode;
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return refuse(NotRegularReason(target));
    // Write bits cleared marks a file read-only even for a user the system
    // would let write it.
    if ((st.st_mode & 0222) == 0) return refuse("読み取り専用のファイルです");
    if (::access(target.c_str(), W_OK) != 0)
      return refuse("読み取り専用のファイルです: " + FileErrorText(errno));
    keep_mode = st.st_mode & 07777;
  }
  fs::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  // Temporary files of saves that were killed before their rename; a
  // scratch write (the run's work files, hundreds per run) does not scan.
  if (mode == WriteMode::kDurable) RemoveStaleTempFiles(FromFsPath(target), kStaleTempAgeSeconds);
  fs::path tmp;
  auto fail = [&](const std::string& what) {
    std::error_code e2;
    if (!tmp.empty()) fs::remove(tmp, e2);
    return refuse(what);
  };
  // The temporary name carries the process id, so writers in other
  // processes never meet; it is created exclusively, and a name that is
  // taken (left by a crashed process of the same id) gives way to random
  // ones. Seeding a random device for every write costs more than the
  // write of a small file.
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
    unsigned tag = static_cast<unsigned>(::getpid());
    if (attempt > 0) tag = std::random_device()();
    tmp = dir / (TempPrefix(target.filename().string()) + Format("%06x", tag & 0xFFFFFF));
    fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) {
      const int why = errno;
      tmp.clear();  // not ours: never removed
      return refuse(FileErrorText(why));
    }
  }
  if (fd < 0) {
    tmp.clear();
    return refuse(FileErrorText(EEXIST));
  }
  FILE* f = ::fdopen(fd, "wb");
  if (!f) {
    const int err = errno;
    ::close(fd);
    return fail(FileErrorText(err));
  }
  int err = 0;
  auto step = [&](bool ok) {
    if (!ok && err == 0) err = errno != 0 ? errno : EIO;
  };
  errno = 0;
  step(std::fwrite(data.data(), 1, data.size(), f) == data.size());
  step(std::fflush(f) == 0);
  if (keep_mode) step(::fchmod(fileno(f), *keep_mode) == 0);
  if (mode == WriteMode::kDurable) step(fsync(fileno(f)) == 0);
  step(std::fclose(f) == 0);
  if (err != 0) return fail("書き込みエラー: " + FileErrorText(err));
  // Renaming over an existing file makes ext4 push the new file's data to
  // the disk at once (auto_da_alloc): the very wait a scratch write does
  // without, so a scratch write removes the old file first.
  if (mode == WriteMode::kScratch) ::unlink(target.c_str());
  fs::rename(tmp, target, ec);
  if (ec) return fail(FileErrorText(ec.value()));
  return true;
}

std::optional<FolderLock> FolderLock::Acquire(std::string_view dir, std::string* error) {
  const fs::path path = ToFsPath(WithTrailingSlash(dir)) / kFolderLockName;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (error)
      *error = "作業フォルダ " + std::string(dir) + " をロックできません: " + FileErrorText(errno);
    return std::nullopt;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    char pid[32] = {};
    const ssize_t n = ::pread(fd, pid, sizeof pid - 1, 0);
    ::close(fd);
    if (error)
      *error =
          "作業フォルダ " + std::string(dir) + " は別の実行" +
          (n > 0 ? " (プロセス " + Trim(std::string_view(pid, static_cast<std::size_t>(n))) + ")"
                 : std::string()) +
          " が使用中です。終わってから実行して下さい。";
    return std::nullopt;
  }
  // Who holds it, for the message of the next run that asks.
  const std::string me = std::to_string(::getpid()) + "\n";
  if (::ftruncate(fd, 0) == 0) {
    [[maybe_unused]] const ssize_t w = ::pwrite(fd, me.data(), me.size(), 0);
  }
  return FolderLock(fd);
}

FolderLock::~FolderLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the flock
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  // Sized once: a text of millions of short lines would otherwise pass
  // through copies of up to twice its line table.
  lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  std::size_t b = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || text[i] == '\r') {
      lines.emplace_back(text.substr(b, i - b));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      b = i + 1;
    }
  }
  if (b < text.size()) lines.emplace_back(text.substr(b));
  return lines;
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines) {
  std::size_t n = 0;
  for (const auto& l : lines) n += l.size() + 2;
  std::string out;
  out.reserve(n);
  for (const auto& l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

std::string FileNameOf(std::string_view p) {
  std::size_t s = p.find_last_of('/');
  return std::string(s == std::string_view::npos ? p : p.substr(s + 1));
}

std::string DirectoryOf(std::string_view p) {
  std::size_t s = p.find_last_of('/');
  return s == std::string_view::npos ? std::string() : std::string(p.substr(0, s + 1));
}

std::string ChangeExtension(std::string_view p, std::string_view ext) {
  std::string dir = DirectoryOf(p);
  std::string name = FileNameOf(p);
  std::size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return dir + name + std::string(ext);
}

std::string WithTrailingSlash(std::string_view p) {
  std::string s(p);
  if (s.empty() || s.back() != '/') s.push_back('/');
  return s;
}

}  // namespace vaultra
