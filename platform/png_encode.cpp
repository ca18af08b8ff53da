// Writes the PNG chunks of a surface: the header chunks, the image data
// compressed by ISA-L, whole (libdeflate should that fail) or streamed, and
// the end.
#include "platform/png_encode.h"

#include <isa-l/igzip_lib.h>
#include <libdeflate.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "platform/png_format.h"

namespace lexaro::png {
namespace {

// libdeflate's fastest level, used only should ISA-L fail.
constexpr int kWholeLevel = 1;
// Compressed bytes per image data chunk when streaming.
constexpr std::size_t kStreamChunk = std::size_t(256) << 10;

void Put32(unsigned char* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = (unsigned char)(v >> (24 - 8 * i));
}

// Fills in the length, type and CRC around `size` data bytes that start 8
// bytes into `chunk`, which has room for 4 more after them.
void Frame(unsigned char* chunk, const char* type, std::size_t size) {
  Put32(chunk, std::uint32_t(size));
  std::memcpy(chunk + 4, type, 4);
  Put32(chunk + 8 + size, libdeflate_crc32(0, chunk + 4, size + 4));
}

void AppendChunk(std::vector<unsigned char>& out, const char* type, const unsigned char* data,
                 std::size_t size) {
  const std::size_t at = out.size();
  out.resize(at + 12 + size);
  if (size) std::memcpy(&out[at + 8], data, size);
  Frame(&out[at], type, size);
}

// The signature and the chunks before the image data.
std::vector<unsigned char> Header(const CRasterDC& dc, const Format& f) {
  static const unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<unsigned char> out(kSignature, kSignature + 8);
  unsigned char ihdr[13] = {};
  Put32(ihdr, std::uint32_t(dc.Width()));
  Put32(ihdr + 4, std::uint32_t(dc.Height()));
  ihdr[8] = 8;  // bits a sample; compression, filter method, interlace: 0
  ihdr[9] = (unsigned char)f.type;
  AppendChunk(out, "IHDR", ihdr, sizeof ihdr);
  if (f.type != ColourType::kPalette) return out;
  std::vector<unsigned char> plte, trns;
  bool translucent = false;
  for (std::uint32_t pixel : f.palette.Pixels()) {
    unsigned char s[4];
    StraightPixel(pixel, s);
    plte.insert(plte.end(), s, s + 3);
    trns.push_back(s[3]);
    translucent = translucent || s[3] != 255;
  }
  AppendChunk(out, "PLTE", plte.data(), plte.size());
  if (translucent) AppendChunk(out, "tRNS", trns.data(), trns.size());
  return out;
}

// Hands bytes to the sink; a sink that refuses or throws ends the encoding.
bool Emit(const CRasterDC::PngSink& sink, const void* data, std::size_t size, std::string* message) {
  bool written = false;
  try {
    written = sink(data, size);
  } catch (...) {
  }
  if (!written) *message = "the PNG data could not be written";
  return written;
}

bool EmitEnd(const CRasterDC::PngSink& sink, std::string* message) {
  unsigned char end[12];
  Frame(end, "IEND", 0);
  return Emit(sink, end, sizeof end, message);
}

// libdeflate's compressor, made only should ISA-L fail, then kept for the
// thread: allocating one costs about as much as compressing a small image.
libdeflate_compressor* Compressor() {
  struct Owned {
    libdeflate_compressor* compressor = libdeflate_alloc_compressor(kWholeLevel);
    ~Owned() { libdeflate_free_compressor(compressor); }
  };
  thread_local Owned owned;
  return owned.compressor;
}

// Room for `size` bytes compressed: more than data that does not shrink
// takes in stored blocks, which both compressors fall back to (5 bytes a
// block of at least 10,000 bytes, and the zlib header and checksum).
std::size_t CompressBound(std::size_t size) { return size + size / 64 + 64 + ISAL_DEF_MAX_HDR_SIZE; }

// ISA-L's state, one per thread, set up again for each image. Its fastest
// level, 0, compresses formula images (flat areas, anti-aliased ink) three
// to ten times faster than libdeflate's fastest, into files about a
// quarter larger. Its levels 1 and 2 give files a sixth smaller at about
// the same speed, but their bytes vary from process to process (with the
// addresses the system gives it; the pixels are the same), and a program
// drawing the same image twice should write the same file.
isal_zstream& Deflater(bool stream) {
  // On the heap: a thread's own variables take room from its stack.
  thread_local std::unique_ptr<isal_zstream> held;
  if (!held) held = std::make_unique<isal_zstream>();
  isal_zstream& z = *held;
  if (stream) isal_deflate_init(&z);
  else isal_deflate_stateless_init(&z);
  z.gzip_flag = IGZIP_ZLIB;
  z.flush = NO_FLUSH;
  z.level = 0, z.level_buf = nullptr, z.level_buf_size = 0;
  return z;
}

// Compresses `size` bytes into a zlib stream at `out`; answers its length,
// or 0 when it does not fit.
std::size_t Compress(const unsigned char* in, std::size_t size, unsigned char* out, std::size_t room) {
  if (size <= UINT32_MAX && room <= UINT32_MAX) {
    isal_zstream& z = Deflater(false);
    z.end_of_stream = 1;
    z.next_in = const_cast<unsigned char*>(in);
    z.avail_in = std::uint32_t(size);
    z.next_out = out;
    z.avail_out = std::uint32_t(room);
    if (isal_deflate_stateless(&z) == COMP_OK && z.avail_in == 0) return z.total_out;
  }
  libdeflate_compressor* fallback = Compressor();
  return fallback ? libdeflate_zlib_compress(fallback, in, size, out, room) : 0;
}

// All rows written into one buffer (unless `written` holds them already)
// and compressed in one call into one image data chunk; the whole file is
// handed over at once, so that a small image takes one write.
bool EncodeWhole(const CRasterDC& dc, const Format& f, const RowWriter& rows,
                 std::unique_ptr<unsigned char[]> written, const CRasterDC::PngSink& sink, std::string* message) {
  const std::size_t size = rows.RowBytes() * std::size_t(dc.Height());
  if (!written) {
    written = std::make_unique_for_overwrite<unsigned char[]>(size);
    for (int y = 0; y < dc.Height(); ++y) rows.Write(y, written.get() + rows.RowBytes() * std::size_t(y));
  }
  const std::vector<unsigned char> header = Header(dc, f);
  const std::size_t bound = CompressBound(size);
  // The header, then the image data chunk, then the end chunk.
  auto file = std::make_unique_for_overwrite<unsigned char[]>(header.size() + bound + 24);
  std::memcpy(file.get(), header.data(), header.size());
  unsigned char* chunk = file.get() + header.size();
  const std::size_t packed = Compress(written.get(), size, chunk + 8, bound);
  if (packed == 0) {
    *message = "PNG compression failed";
    return false;
  }
  Frame(chunk, "IDAT", packed);
  Frame(chunk + packed + 12, "IEND", 0);
  return Emit(sink, file.get(), header.size() + packed + 24, message);
}

// Row by row through ISA-L, each full output buffer sent as an image data
// chunk: besides the surface, one row, the compressor's state and one chunk
// are held.
bool EncodeStreaming(const CRasterDC& dc, const Format& f, const RowWriter& rows, const CRasterDC::PngSink& sink,
                     std::string* message) {
  isal_zstream& z = Deflater(true);
  const std::vector<unsigned char> header = Header(dc, f);
  if (!Emit(sink, header.data(), header.size(), message)) return false;
  std::vector<unsigned char> row(rows.RowBytes()), chunk(kStreamChunk + 12);
  auto flushChunk = [&] {
    const std::size_t size = kStreamChunk - z.avail_out;
    z.next_out = chunk.data() + 8;
    z.avail_out = std::uint32_t(kStreamChunk);
    if (size == 0) return true;
    Frame(chunk.data(), "IDAT", size);
    return Emit(sink, chunk.data(), size + 12, message);
  };
  z.next_out = chunk.data() + 8;
  z.avail_out = std::uint32_t(kStreamChunk);
  for (int y = 0; y < dc.Height(); ++y) {
    rows.Write(y, row.data());
    z.next_in = row.data();
    z.avail_in = std::uint32_t(row.size());
    z.end_of_stream = y + 1 == dc.Height();
    for (;;) {
      if (isal_deflate(&z) != COMP_OK) {
        *message = "PNG compression failed";
        return false;
      }
      if (z.avail_out == 0 && !flushChunk()) return false;
      if (z.end_of_stream ? z.internal_state.state == ZSTATE_END : z.avail_in == 0) break;
    }
  }
  return flushChunk() && EmitEnd(sink, message);
}

}  // namespace

bool Encode(const CRasterDC& dc, const CRasterDC::PngSink& sink, std::string* message,
            std::size_t wholeBufferBytes) {
  try {
    // A drawing on an opaque surface is mostly grey, and on a clear one
    // grey and alpha: its rows are written in that type while the surface
    // is scanned, when they fit the whole buffer.
    const bool opaque = dc.Bits()[0] >> 24 == 0xFF;
    const std::size_t guessBytes = (1 + (opaque ? 1 : 2) * std::size_t(dc.Width())) * std::size_t(dc.Height());
    std::unique_ptr<unsigned char[]> packed;
    bool isPacked = false;
    Format format;
    if (guessBytes <= wholeBufferBytes) {
      packed = std::make_unique_for_overwrite<unsigned char[]>(guessBytes);
      format = ChooseFormatPacking(dc, opaque ? ColourType::kGrey : ColourType::kGreyAlpha, packed.get(), &isPacked);
      if (!isPacked) packed.reset();
    } else {
      format = ChooseFormat(dc);
    }
    const RowWriter rows(dc, format);
    if (rows.RowBytes() * std::size_t(dc.Height()) <= wholeBufferBytes)
      return EncodeWhole(dc, format, rows, std::move(packed), sink, message);
    return EncodeStreaming(dc, format, rows, sink, message);
  } catch (const std::bad_alloc&) {
    *message = "out of memory while encoding the PNG";
    return false;
  }
}

}  // namespace lexaro::png
