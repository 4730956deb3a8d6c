#include "report/image_file.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "core/fileio.h"

namespace vaultra {

namespace {

constexpr long kMaxPixels = 64L * 1024 * 1024;

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegError*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void Quiet(j_common_ptr) {}

// The decoding proper, free of C++ objects with destructors so that the
// error jump leaves nothing behind.
bool DecodeJpegInto(const unsigned char* data, unsigned long size, RasterImage* out,
                    char* message) {
  jpeg_decompress_struct cinfo;
  JpegError err;
  cinfo.err = jpeg_std_error(&err.mgr);
  err.mgr.error_exit = OnJpegError;
  err.mgr.output_message = Quiet;
  err.message[0] = 0;
  if (setjmp(err.jump)) {
    std::snprintf(message, JMSG_LENGTH_MAX, "%s", err.message);
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, data, size);
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_RGB;
  jpeg_start_decompress(&cinfo);
  const long w = cinfo.output_width, h = cinfo.output_height;
  if (w <= 0 || h <= 0 || w * h > kMaxPixels || cinfo.output_components != 3) {
    std::strcpy(message, "unsupported JPEG size or colour layout");
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  out->width = static_cast<int>(w);
  out->height = static_cast<int>(h);
  out->pixels.resize(static_cast<std::size_t>(w * h));
  unsigned char* row = static_cast<unsigned char*>(std::malloc(static_cast<std::size_t>(w) * 3));
  if (!row) {
    jpeg_destroy_decompress(&cinfo);
    return false;
  }
  while (cinfo.output_scanline < cinfo.output_height) {
    const long y = cinfo.output_scanline;
    JSAMPROW rows[1] = {row};
    jpeg_read_scanlines(&cinfo, rows, 1);
    std::uint32_t* dst = out->pixels.data() + y * w;
    for (long x = 0; x < w; ++x)
      dst[x] = 0xFF000000u | (row[3 * x] << 16) | (row[3 * x + 1] << 8) | row[3 * x + 2];
  }
  std::free(row);
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return true;
}

std::uint32_t U16(std::string_view b, std::size_t at) {
  return static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8);
}
std::uint32_t U32(std::string_view b, std::size_t at) {
  return U16(b, at) | (U16(b, at + 2) << 16);
}

std::string Upper(std::string_view s) {
  std::string u(s);
  for (char& c : u)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return u;
}

bool EndsWith(const std::string& s, const char* suffix) {
  const std::size_t n = std::strlen(suffix);
  return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

}  // namespace

std::shared_ptr<RasterImage> DecodeJpeg(std::string_view bytes, std::string* error) {
  auto img = std::make_shared<RasterImage>();
  char message[JMSG_LENGTH_MAX] = {0};
  if (bytes.empty() || !DecodeJpegInto(reinterpret_cast<const unsigned char*>(bytes.data()),
                                       bytes.size(), img.get(), message)) {
    if (error) *error = std::string("JPEG: ") + message;
    return nullptr;
  }
  return img;
}

std::shared_ptr<RasterImage> DecodeBmp(std::string_view b, std::string* error) {
  auto fail = [&](const char* why) -> std::shared_ptr<RasterImage> {
    if (error) *error = std::string("BMP: ") + why;
    return nullptr;
  };
  if (b.size() < 54 || b[0] != 'B' || b[1] != 'M') return fail("not a bitmap file");
  const std::uint32_t offset = U32(b, 10), header = U32(b, 14);
  if (header < 40 || 14 + header > b.size()) return fail("unknown header");
  const std::int32_t w = static_cast<std::int32_t>(U32(b, 18));
  std::int32_t h = static_cast<std::int32_t>(U32(b, 22));
  const int bits = static_cast<int>(U16(b, 28));
  const std::uint32_t compression = U32(b, 30);
  const bool top_down = h < 0;
  if (top_down) h = -h;
  if (w <= 0 || h <= 0 || static_cast<long>(w) * h > kMaxPixels) return fail("bad size");
  if (compression != 0 && !(compression == 3 && (bits == 32 || bits == 16)))
    return fail("compressed bitmaps are not supported");
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
    return fail("unsupported bit depth");
  std::uint32_t palette[256] = {};
  if (bits <= 8) {
    std::uint32_t colours = U32(b, 46);
    if (colours == 0 || colours > (1u << bits)) colours = 1u << bits;
    const std::size_t at = 14 + header;
    if (at + 4 * colours > b.size()) return fail("palette beyond the end of the file");
    for (std::uint32_t i = 0; i < colours; ++i)
      palette[i] = 0xFF000000u | (static_cast<unsigned char>(b[at + 4 * i + 2]) << 16) |
                   (static_cast<unsigned char>(b[at + 4 * i + 1]) << 8) |
                   static_cast<unsigned char>(b[at + 4 * i]);
  }
  const std::size_t stride = ((static_cast<std::size_t>(w) * bits + 31) / 32) * 4;
  if (offset > b.size() || stride * h > b.size() - offset)
    return fail("pixel data beyond the end of the file");
  auto img = std::make_shared<RasterImage>();
  img->width = w;
  img->height = h;
  img->pixels.resize(static_cast<std::size_t>(w) * h);
  for (std::int32_t row = 0; row < h; ++row) {
    const std::size_t src = offset + stride * row;
    const std::int32_t y = top_down ? row : h - 1 - row;
    std::uint32_t* dst = img->pixels.data() + static_cast<std::size_t>(y) * w;
    for (std::int32_t x = 0; x < w; ++x) {
      const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(b[src + i]); };
      switch (bits) {
        case 32:
        case 24: {
          const std::size_t i = static_cast<std::size_t>(x) * (bits / 8);
          dst[x] = 0xFF000000u | (byte(i + 2) << 16) | (byte(i + 1) << 8) | byte(i);
          break;
        }
        case 8:
          dst[x] = palette[byte(x)];
          break;
        case 4:
          dst[x] = palette[(byte(x / 2) >> (x % 2 ? 0 : 4)) & 0x0F];
          break;
        case 1:
          dst[x] = palette[(byte(x / 8) >> (7 - x % 8)) & 1];
          break;
      }
    }
  }
  return img;
}

std::shared_ptr<RasterImage> LoadImageFile(std::string_view path, std::string* error) {
  const std::string upper = Upper(path);
  const bool jpeg = EndsWith(upper, ".JPG") || EndsWith(upper, ".JPEG");
  const bool bmp = EndsWith(upper, ".BMP");
  if (!jpeg && !bmp) {
    if (error) *error = "unknown picture type";
    return nullptr;
  }
  auto bytes = ReadFileBytes(path, error);
  if (!bytes) return nullptr;
  return jpeg ? DecodeJpeg(*bytes, error) : DecodeBmp(*bytes, error);
}

}  // namespace vaultra
