// CRasterDC: a device context over a 32-bit pixel buffer in memory.
//
// Pixels are premultiplied 0xAARRGGBB words, row by row without padding: the
// layout of QImage::Format_ARGB32_Premultiplied, so a QImage can wrap Bits()
// without copying. Text is anti-aliased; lines and fills are aliased, as
// device contexts draw them, unless SetAntialias(true) asks for smooth ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lexaro/dc.h"

class LEXARO_API CRasterDC : public CDC {
 public:
  // Surfaces larger than this are refused (std::invalid_argument).
  static constexpr int kMaxSide = 32768;
  static constexpr long long kMaxPixels = 1LL << 28;

  // background CLR_TRANSPARENT makes every pixel fully transparent.
  CRasterDC(int width, int height, COLORREF background = 0x00FFFFFF);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  std::uint32_t* Bits() { return m_pixels.data(); }
  const std::uint32_t* Bits() const { return m_pixels.data(); }
  int BytesPerLine() const { return m_width * 4; }
  void Clear(COLORREF background);
  void SetResolution(int dpi) { m_dpi = dpi > 0 ? dpi : 96; }
  // Keeps only the pixels inside rect (cut to the surface), which becomes
  // the whole surface with its top-left corner at (0, 0).
  void Crop(const CRect& rect);

  // Takes the next bytes of an encoded image; false when they cannot be
  // written, which ends the encoding.
  using PngSink = std::function<bool(const void* data, std::size_t size)>;

  // PNG with straight (not premultiplied) alpha, in the smallest colour
  // type that holds the pixels exactly. False on failure, with the reason in
  // *error when it is given. WritePng hands the bytes to the sink: an image
  // whose rows take at most 4 MiB in that colour type is compressed whole
  // (those rows and the compressed data are held meanwhile), a larger one
  // row by row as it is sent, holding no copy of the image or of the file.
  // EncodePng collects the bytes in *out.
  bool SavePng(const std::string& path, std::string* error = nullptr) const;
  bool WritePng(const PngSink& sink, std::string* error = nullptr) const;
  bool EncodePng(std::vector<unsigned char>* out, std::string* error = nullptr) const;
  // Reads a PNG into a new surface; null (and the reason) when the file is
  // unreadable, not a PNG, or larger than the surface limits.
  static std::unique_ptr<CRasterDC> LoadPng(const std::string& path, std::string* error = nullptr);

  // True for this class itself; a derived surface may measure or paint its
  // own way.
  bool ReplaysAlike() const override;

 protected:
  void DrawLine(CPoint from, CPoint to, const PenState& pen) override;
  void DrawText(const TextOutRequest& request) override;
  long long DrawTextCharged(const TextOutRequest& request, const CRect& clip, long long budget,
                            CSize* extent) override;
  void DrawPixel(int x, int y, COLORREF color) override;
  COLORREF ReadPixel(int x, int y) const override;
  void DrawRect(const CRect& rect, COLORREF color) override;
  void DrawColumns(const ColumnStroke* strokes, int count, const PenState& pen) override;
  bool DrawConvex(const CPoint* corners, int count, const PenState& pen) override;
  int Resolution() const override { return m_dpi; }
  CRect SurfaceBounds() const override { return CRect(0, 0, m_width, m_height); }

 private:
  struct TextPainter;
  template <typename F>
  void ForEachVisibleSpan(int y, long long x0, long long x1, F&& paint);
  void FillSpan(int y, long long x0, long long x1, COLORREF color);
  void DrawLevelLine(CPoint from, int toX, const PenState& pen, const CRect& bounds);
  // Paints a convex polygon with its coverage of each pixel.
  template <typename Shape>
  void PaintCoverage(const Shape& shape, COLORREF color);
  // Strokes of a 1-wide pen in the columns x0 .. x0 + count - 1, as the
  // rows [lo[i], hi[i]) of each column, painted row by row.
  void FillColumnBlock(long long x0, int count, const int* lo, const int* hi, COLORREF color);
  void BlendCoverage(const std::uint8_t* alpha, int left, int top, int width, int height,
                     COLORREF color);
  CRect ClipBounds() const;

  int m_width;
  int m_height;
  int m_dpi = 96;
  std::vector<std::uint32_t> m_pixels;
};
