// The outside frame library, loaded at run time: the SDK folder's
// libFrameSDK.so with FrameCalc, FrameErr and FrameResMemFree.
#pragma once

#include <string>

#include "analysis/sdk_types.h"

namespace vaultra {

class Ui;

constexpr const char* kFrameSdkFile = "libFrameSDK.so";
constexpr const char* kFrameProgramFile = "PlaneFrame";

// The loaded library; it stays loaded for the owner's lifetime.
class FrameSdkLibrary {
 public:
  FrameSdkLibrary() = default;
  ~FrameSdkLibrary();
  FrameSdkLibrary(const FrameSdkLibrary&) = delete;
  FrameSdkLibrary& operator=(const FrameSdkLibrary&) = delete;

  // Loads sdk_dir + libFrameSDK.so unless already loaded from there.
  // Empty on success, else the message.
  std::string Load(const std::string& sdk_dir);
  bool loaded() const { return handle_ != nullptr; }

  FrameCalcFn calc = nullptr;
  FrameErrFn err = nullptr;
  FrameResMemFreeFn free_result = nullptr;

 private:
  void Unload();
  void* handle_ = nullptr;
  std::string dir_;
};

struct FrameSdkFolders {
  std::string sdk_dir;    // with a trailing "/"
  std::string frame_dir;  // with a trailing "/"
};

// Analyses the frame text with the library and writes its result files
// beside it. Empty on success; otherwise the message, which is also shown
// through ui (when given) prefixed "FRAME.エラー：\n". The current folder is
// the same after the call as before it, on every path.
std::string RunFrameSdk(FrameSdkLibrary& library, const FrameSdkFolders& folders,
                        const std::string& text_path, Ui* ui);

}  // namespace vaultra
