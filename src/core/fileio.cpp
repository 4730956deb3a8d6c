#include "core/fileio.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
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

std::optional<std::string> ReadFileBytes(std::string_view p, std::string* error) {
  std::error_code ec;
  fs::path path = ToFsPath(p);
  if (!fs::is_regular_file(path, ec)) {
    if (error) *error = std::string(p) + " を開けません。(ファイルがありません)";
    return std::nullopt;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = std::string(p) + " を開けません。";
    return std::nullopt;
  }
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    if (error) *error = std::string(p) + " を読めません。";
    return std::nullopt;
  }
  return data;
}

bool WriteFileAtomic(std::string_view p, std::string_view data, std::string* error,
                     WriteMode mode) {
  fs::path target = ToFsPath(p);
  fs::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  fs::path tmp;
  auto fail = [&](const char* what) {
    if (error) *error = std::string(p) + " に書き込めません。(" + what + ")";
    std::error_code ec;
    if (!tmp.empty()) fs::remove(tmp, ec);
    return false;
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
    tmp = dir / (target.filename().string() + Format(".tmp%06x", tag & 0xFFFFFF));
    fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) {
      const std::string why = std::strerror(errno);
      tmp.clear();  // not ours: never removed
      return fail(why.c_str());
    }
  }
  if (fd < 0) {
    tmp.clear();
    return fail(std::strerror(EEXIST));
  }
  FILE* f = ::fdopen(fd, "wb");
  if (!f) {
    const std::string why = std::strerror(errno);
    ::close(fd);
    return fail(why.c_str());
  }
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  ok = std::fflush(f) == 0 && ok;
  if (mode == WriteMode::kDurable) ok = fsync(fileno(f)) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  if (!ok) return fail("書き込みエラー");
  std::error_code ec;
  // Renaming over an existing file makes ext4 push the new file's data to
  // the disk at once (auto_da_alloc): the very wait a scratch write does
  // without, so a scratch write removes the old file first.
  if (mode == WriteMode::kScratch) ::unlink(target.c_str());
  fs::rename(tmp, target, ec);
  if (ec) return fail(ec.message().c_str());
  return true;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
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
