// The bridge between the frame text and the outside frame library: reads a
// frame text into the library's input record (owning the arrays it points
// to) and writes the library's result record as the result files
// ".F11" ... ".F71" beside the text.
#pragma once

#include <string>
#include <vector>

#include "analysis/sdk_types.h"
#include "core/fileio.h"

namespace vaultra {

// The result files beside a frame text, in the order they are written; a
// selection of them is a bit set over this order.
constexpr int kResultFileCount = 14;
constexpr const char* kResultFileExtensions[kResultFileCount] = {
    ".F11", ".F12", ".F21", ".F22", ".F31", ".F32", ".F33",
    ".F41", ".F42", ".F51", ".F52", ".F61", ".F62", ".F71"};
constexpr unsigned kAllResultFiles = (1u << kResultFileCount) - 1;

class FrameTextFile {
 public:
  FrameTextFile() = default;
  FrameTextFile(const FrameTextFile&) = delete;
  FrameTextFile& operator=(const FrameTextFile&) = delete;

  // Reads the frame text into data (zero-filled first). The arrays belong
  // to this object: data is valid while it lives. False on a text that
  // cannot be read; error() says where.
  bool LoadFromFile(const std::string& path, FR_SDK_MAINDATA& data);

  // Writes the fourteen result files as base_name + ".F11" ... ".F71", or
  // the selection files of them. False (error() names the file) when one
  // cannot be written or result is null.
  bool SaveToFile(const std::string& base_name, const FR_SDK_MAINRES* result,
                  unsigned files = kAllResultFiles, WriteMode mode = WriteMode::kDurable);

  const std::string& error() const { return error_; }

 private:
  bool Save(const std::string& ext, const std::string& text, WriteMode mode);

  std::string base_name_;
  const FR_SDK_MAINRES* result_ = nullptr;
  std::string error_;
  std::vector<FR_SDK_NODE> nodes_;
  std::vector<FR_SDK_MATERIAL> materials_;
  std::vector<FR_SDK_SECTION> sections_;
  std::vector<FR_SDK_MEMBER> members_;
  std::vector<FR_SDK_INDISSPRCASE> spring_cases_;
  std::vector<std::vector<FR_SDK_INDISSPRING>> springs_;
  std::vector<FR_SDK_INSUPCASE> support_cases_;
  std::vector<std::vector<FR_SDK_INSUP>> supports_;
  std::vector<FR_SDK_AIMEDPOINT> aimed_;
  std::vector<FR_SDK_EQUALDID> equal_;
  std::vector<FR_SDK_OPTSPEC> spec_;
  std::vector<std::vector<FR_SDK_AIMEDPOINTLST>> positions_;
  std::vector<FR_SDK_INLOADCASE> load_cases_;
  std::vector<std::vector<FR_SDK_LOADDATA>> items_;
  std::vector<FR_SDK_INCOMBCASE> combinations_;
  std::vector<std::vector<FR_SDK_COMBILDCASE>> entries_;
  std::vector<FR_SDK_INEXTRCASE> extractions_;
  std::vector<std::vector<FR_SDK_LOADCASE>> extraction_entries_;
};

}  // namespace vaultra
