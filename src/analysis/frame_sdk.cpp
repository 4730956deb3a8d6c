#include "analysis/frame_sdk.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include "analysis/frame_file.h"
#include "core/fileio.h"
#include "core/number.h"
#include "core/ui.h"

namespace vaultra {

FrameSdkLibrary::~FrameSdkLibrary() {
  Unload();
}

void FrameSdkLibrary::Unload() {
  if (handle_) dlclose(handle_);
  handle_ = nullptr;
  calc = nullptr;
  err = nullptr;
  free_result = nullptr;
  dir_.clear();
}

std::string FrameSdkLibrary::Load(const std::string& sdk_dir) {
  if (handle_ && dir_ == sdk_dir) return {};
  Unload();
  std::string path = sdk_dir + kFrameSdkFile;
  std::string missing =
      "PlaneFrame SDK がインストールされていません．" + std::string("\n･･･") + path;
  void* h = dlopen(ToFsPath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!h) return missing + " が有りません．";
  auto* c = reinterpret_cast<FrameCalcFn>(dlsym(h, "FrameCalc"));
  auto* e = reinterpret_cast<FrameErrFn>(dlsym(h, "FrameErr"));
  auto* f = reinterpret_cast<FrameResMemFreeFn>(dlsym(h, "FrameResMemFree"));
  const char* absent = !c ? "FrameCalc" : !e ? "FrameErr" : !f ? "FrameResMemFree" : nullptr;
  if (absent) {
    dlclose(h);
    return missing + " に " + absent + " が有りません．";
  }
  handle_ = h;
  dir_ = sdk_dir;
  calc = c;
  err = e;
  free_result = f;
  return {};
}

namespace {

// Puts the current folder back when it goes out of scope.
class CurrentDirGuard {
 public:
  CurrentDirGuard() { saved_ = std::filesystem::current_path(ec_); }
  ~CurrentDirGuard() {
    if (!ec_) {
      std::error_code ec;
      std::filesystem::current_path(saved_, ec);
    }
  }

 private:
  std::error_code ec_;
  std::filesystem::path saved_;
};

std::string RunOnce(FrameSdkLibrary& library, const FrameSdkFolders& folders,
                    const std::string& text_path) {
  std::string msg = library.Load(folders.sdk_dir);
  if (!msg.empty()) return msg;
  std::string program = folders.frame_dir + kFrameProgramFile;
  if (!FileExists(program))
    return "PlaneFrameがインストールされていません．" + std::string("\n･･･") + program +
           " が有りません．";
  FrameTextFile file;
  FR_SDK_MAINDATA data;
  if (!file.LoadFromFile(text_path, data)) {
    std::string m = text_path + "を正常に読めません";
    if (!file.error().empty() && file.error() != m) m += "\n" + file.error();
    return m;
  }
  FR_SDK_MAINRES* res = library.calc(folders.frame_dir.c_str(), &data);
  if (res) {
    if (!file.SaveToFile(ChangeExtension(text_path, ""), res)) msg = text_path + "に保存できません";
    library.free_result(res);
    return msg;
  }
  const char* text = nullptr;
  int code = library.err(&text);
  return Format("[%d] %s", code, text ? text : "(FrameErr がエラーの内容を返しませんでした)");
}

}  // namespace

std::string RunFrameSdk(FrameSdkLibrary& library, const FrameSdkFolders& folders,
                        const std::string& text_path, Ui* ui) {
  CurrentDirGuard guard;
  std::string msg = RunOnce(library, folders, text_path);
  if (!msg.empty() && ui) ui->Tell(MsgKind::kError, "FRAME.エラー：\n" + msg);
  return msg;
}

}  // namespace vaultra
