// Figure images of the report templates: JPEG through libjpeg, and
// uncompressed Windows bitmaps.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "report/page_record.h"

namespace vaultra {

// Decodes the bytes of a JPEG or BMP file; null (and error, cp932) when they
// are not a picture this reader understands.
std::shared_ptr<RasterImage> DecodeJpeg(std::string_view bytes, std::string* error = nullptr);
std::shared_ptr<RasterImage> DecodeBmp(std::string_view bytes, std::string* error = nullptr);
// Reads the file and decodes it by its extension (".JPG", ".JPEG", ".BMP", any case).
std::shared_ptr<RasterImage> LoadImageFile(std::string_view cp932_path,
                                           std::string* error = nullptr);

}  // namespace vaultra
