#include "tools/cli/render.h"

#include "tools/cli/files.h"

namespace cli {

void ApplyEngineDefaults(const Options& o) {
  SetDefaultCodePage(o.encoding == Encoding::kCp932 ? CP_SHIFTJIS : CP_UTF8);
}

lexaro::TexOptions TexOptionsOf(const Options& o) {
  lexaro::TexOptions t;
  t.display = o.display;
  t.strict = o.strict;
  return t;
}

lexaro::RenderOptions RenderOptionsOf(const Options& o) {
  lexaro::RenderOptions r;
  r.notation = o.tex ? lexaro::Notation::kTex : lexaro::Notation::kMarkup;
  r.tex = TexOptionsOf(o);
  r.em = o.emHeight;
  r.face = o.font;
  r.color = GetCOLORREF(CString(o.color));
  r.background = GetCOLORREF(CString(o.background));
  r.angle = o.angle;
  r.padding = o.padding;
  r.dpi = o.dpi;
  r.scale = o.scale;
  r.codePage = o.encoding == Encoding::kCp932 ? CP_SHIFTJIS : CP_UTF8;
  r.antialias = !o.aliased;
  r.debugBoxes = o.debugBoxes;
  return r;
}

Format ResolveFormat(const Options& o, const std::string& path) {
  if (o.format != Format::kAuto) return o.format;
  return lexaro::FormatOfPath(path) == lexaro::ImageFormat::kSvg ? Format::kSvg : Format::kPng;
}

const char* Extension(Format format) { return format == Format::kSvg ? ".svg" : ".png"; }

bool MeasureMarkup(const std::string& markup, const Options& o, lexaro::Measurement* size, std::string* error) {
  auto measured = lexaro::Measure(markup, RenderOptionsOf(o));
  if (!measured) return (*error = measured.error), false;
  *size = *measured;
  return true;
}

std::string ExtentJson(const lexaro::Measurement& m) {
  return "{\"width\":" + std::to_string(m.extent.width) + ",\"ascent\":" + std::to_string(m.extent.ascent) +
         ",\"descent\":" + std::to_string(m.extent.descent) + ",\"imageWidth\":" + std::to_string(m.width) +
         ",\"imageHeight\":" + std::to_string(m.height) + "}\n";
}

bool DrawMarkup(const std::string& markup, const Options& o, Format format, std::string* bytes,
                std::string* error) {
  auto made = format == Format::kSvg ? lexaro::RenderSvg(markup, RenderOptionsOf(o))
                                     : lexaro::RenderPng(markup, RenderOptionsOf(o));
  if (!made) return (*error = made.error), false;
  *bytes = std::move(*made);
  return true;
}

bool RenderMarkup(const std::string& markup, const Options& o, Format format, const std::string& path,
                  std::string* error) {
  if (format == Format::kSvg) {
    std::string svg;
    return DrawMarkup(markup, o, format, &svg, error) && WriteOutput(path, svg, error);
  }
  auto image = lexaro::RenderImage(markup, RenderOptionsOf(o));
  if (!image) return (*error = image.error), false;
  // The rows go out as they are compressed: the image is the only large
  // buffer.
  return WriteOutput(
      path,
      [&image](lexaro::output::Sink& sink, std::string* why) {
        return (*image)->WritePng([&sink](const void* data, size_t size) { return sink.Write(data, size); }, why);
      },
      error);
}

}  // namespace cli
