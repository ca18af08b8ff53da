// PNG encoding (libpng's row-by-row writer, streaming to a sink) and
// decoding (its simplified API) of raster surfaces. Surfaces hold
// premultiplied pixels; PNG holds straight alpha.
#include <png.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "lexaro/raster_dc.h"
#include "platform/file_output.h"

namespace {

// One row of premultiplied pixels as straight RGBA bytes.
void StraightRow(const std::uint32_t* p, int width, unsigned char* out) {
  for (int i = 0; i < width; ++i) {
    std::uint32_t v = p[i], a = v >> 24;
    unsigned char* o = &out[i * 4];
    for (int c = 0; c < 3; ++c) {
      std::uint32_t pm = (v >> (16 - 8 * c)) & 255;
      o[c] = a ? (unsigned char)std::min<std::uint32_t>(255, (pm * 255 + a / 2) / a) : 0;
    }
    o[3] = (unsigned char)a;
  }
}

// Hands libpng's output to the sink. A sink that refuses or throws (no
// exception may cross libpng's C frames) ends the encoding.
void ToSink(png_structp png, png_bytep data, png_size_t length) {
  const auto& sink = *static_cast<const CRasterDC::PngSink*>(png_get_io_ptr(png));
  bool written = false;
  try {
    written = sink(data, length);
  } catch (...) {
  }
  if (!written) png_error(png, "the PNG data could not be written");
}

void NoFlush(png_structp) {}

[[noreturn]] void RaiseError(png_structp png, png_const_charp message) {
  auto* text = static_cast<std::string*>(png_get_error_ptr(png));
  *text = message;
  png_longjmp(png, 1);
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Compresses the rows one at a time in a single pass, handing the output to
// the sink as it comes: besides the surface, only one row and zlib's window
// are held. False with libpng's message on failure.
bool WriteRows(const CRasterDC& dc, const CRasterDC::PngSink& sink, std::string* message) {
  png_structp png =
      png_create_write_struct(PNG_LIBPNG_VER_STRING, message, RaiseError, IgnoreWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  std::vector<unsigned char> row(size_t(dc.Width()) * 4);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, const_cast<CRasterDC::PngSink*>(&sink), ToSink, NoFlush);
  // Formula images are mostly flat areas with anti-aliased ink: unfiltered
  // rows at zlib's level 3 encode them in a quarter of the time of the
  // defaults (adaptive filters, level 6), and the files come out no larger.
  png_set_compression_level(png, 3);
  png_set_filter(png, 0, PNG_FILTER_NONE);
  png_set_IHDR(png, info, png_uint_32(dc.Width()), png_uint_32(dc.Height()), 8,
               PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < dc.Height(); ++y) {
    StraightRow(dc.Bits() + size_t(y) * size_t(dc.Width()), dc.Width(), row.data());
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

bool Fail(std::string* error, const std::string& message) {
  if (error) *error = message;
  return false;
}

}  // namespace

bool CRasterDC::SavePng(const std::string& path, std::string* error) const {
  if (m_width == 0 || m_height == 0) return Fail(error, "an empty surface has no PNG form");
  // The rows go to the file as they are compressed.
  return lexaro::output::WriteOutputFile(
      path,
      [this](lexaro::output::Sink& sink, std::string* why) {
        return WritePng([&sink](const void* data, size_t size) { return sink.Write(data, size); }, why);
      },
      error);
}

bool CRasterDC::WritePng(const PngSink& sink, std::string* error) const {
  if (!sink) return Fail(error, "no PNG sink");
  if (m_width == 0 || m_height == 0) return Fail(error, "an empty surface has no PNG form");
  std::string message = "PNG encoding failed";
  return WriteRows(*this, sink, &message) || Fail(error, message);
}

bool CRasterDC::EncodePng(std::vector<unsigned char>* out, std::string* error) const {
  if (!out) return Fail(error, "no output buffer");
  out->clear();
  const bool ok = WritePng(
      [out](const void* data, size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        out->insert(out->end(), bytes, bytes + size);
        return true;
      },
      error);
  if (!ok) out->clear();
  return ok;
}

std::unique_ptr<CRasterDC> CRasterDC::LoadPng(const std::string& path, std::string* error) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    Fail(error, path + ": " + image.message);
    return nullptr;
  }
  if (image.width == 0 || image.height == 0 || image.width > png_uint_32(kMaxSide) ||
      image.height > png_uint_32(kMaxSide) ||
      (long long)image.width * image.height > kMaxPixels) {
    png_image_free(&image);
    Fail(error, path + ": image of " + std::to_string(image.width) + " x " +
                    std::to_string(image.height) + " pixels exceeds the surface limits");
    return nullptr;
  }
  // Every pixel takes at least one bit of image data and deflate packs at
  // most 1032 bytes into one, so a file too short for the size it claims is
  // refused before its pixels are allocated.
  std::error_code ec;
  std::uintmax_t fileSize = std::filesystem::file_size(path, ec);
  if (!ec && fileSize < std::uintmax_t(image.width) * image.height / (8 * 1032)) {
    png_image_free(&image);
    Fail(error, path + ": " + std::to_string(fileSize) + " bytes cannot hold an image of " +
                    std::to_string(image.width) + " x " + std::to_string(image.height) + " pixels");
    return nullptr;
  }
  image.format = PNG_FORMAT_RGBA;
  std::vector<unsigned char> rgba(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
    Fail(error, path + ": " + image.message);
    return nullptr;
  }
  auto dc = std::make_unique<CRasterDC>(int(image.width), int(image.height), CLR_TRANSPARENT);
  std::uint32_t* p = dc->Bits();
  for (size_t i = 0, n = size_t(image.width) * image.height; i < n; ++i) {
    const unsigned char* s = &rgba[i * 4];
    std::uint32_t a = s[3];
    auto pm = [&](unsigned char c) { return (std::uint32_t(c) * a + 127) / 255; };
    p[i] = a << 24 | pm(s[0]) << 16 | pm(s[1]) << 8 | pm(s[2]);
  }
  return dc;
}
