// The PNG entry points of raster surfaces: encoding (png_encode.cpp) to a
// sink, a file or a buffer, and decoding through libpng's simplified API.
// Surfaces hold premultiplied pixels; PNG holds straight alpha.
#include <png.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "lexaro/raster_dc.h"
#include "platform/file_output.h"
#include "platform/png_encode.h"

namespace {

bool Fail(std::string* error, const std::string& message) {
  if (error) *error = message;
  return false;
}

}  // namespace

bool CRasterDC::SavePng(const std::string& path, std::string* error) const {
  if (m_width == 0 || m_height == 0) return Fail(error, "an empty surface has no PNG form");
  // The PNG goes to the file as it is encoded.
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
  return lexaro::png::Encode(*this, sink, &message) || Fail(error, message);
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
