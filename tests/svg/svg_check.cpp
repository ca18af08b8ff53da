#include "svg_check.h"

#include <expat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace svgcheck {

bool ParseXml(const std::string& doc, std::string* error, int* elements, int* maxDepth) {
  struct Count {
    int elements = 0, depth = 0, maxDepth = 0;
  } count;
  XML_Parser parser = XML_ParserCreate("UTF-8");
  XML_SetUserData(parser, &count);
  XML_SetElementHandler(
      parser,
      [](void* u, const XML_Char*, const XML_Char**) {
        auto* c = static_cast<Count*>(u);
        ++c->elements;
        c->maxDepth = std::max(c->maxDepth, ++c->depth);
      },
      [](void* u, const XML_Char*) { --static_cast<Count*>(u)->depth; });
  bool ok = XML_Parse(parser, doc.data(), int(doc.size()), 1) == XML_STATUS_OK;
  if (!ok && error)
    *error = std::string(XML_ErrorString(XML_GetErrorCode(parser))) + " at line " +
             std::to_string(XML_GetCurrentLineNumber(parser));
  XML_ParserFree(parser);
  if (elements) *elements = count.elements;
  if (maxDepth) *maxDepth = count.maxDepth;
  return ok;
}

std::unique_ptr<CRasterDC> Rasterise(const std::string& doc, std::string* error) {
  namespace fs = std::filesystem;
  std::string dir = (fs::temp_directory_path() / "lexaro-svg-XXXXXX").string();
  if (!mkdtemp(dir.data())) {
    *error = "no temporary directory";
    return nullptr;
  }
  std::string in = dir + "/in.svg", out = dir + "/out.png";
  std::ofstream(in, std::ios::binary) << doc;
  std::unique_ptr<CRasterDC> image;
  pid_t pid = fork();
  if (pid == 0) {
    execlp("rsvg-convert", "rsvg-convert", "-o", out.c_str(), in.c_str(), (char*)nullptr);
    _exit(127);
  }
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0)
    image = CRasterDC::LoadPng(out, error);
  else
    *error = "rsvg-convert failed (status " + std::to_string(status) + "; scripts/setup.sh installs librsvg2-bin)";
  std::error_code ignored;
  fs::remove_all(dir, ignored);
  return image;
}

Difference Compare(const CRasterDC& a, const CRasterDC& b, std::uint32_t background) {
  Difference d;
  d.pixels = (long long)a.Width() * a.Height();
  long long sum = 0;
  for (long long i = 0; i < d.pixels; ++i) {
    std::uint32_t p = a.Bits()[i], q = b.Bits()[i];
    if (p == background && q == background) continue;
    ++d.inked;
    int worst = 0;
    for (int shift = 0; shift < 32; shift += 8) {
      int diff = std::abs(int((p >> shift) & 255) - int((q >> shift) & 255));
      worst = std::max(worst, diff);
      sum += diff;
    }
    d.maxChannel = std::max(d.maxChannel, worst);
    if (worst > kChannelAllowance) ++d.differing;
  }
  d.meanChannel = d.inked ? double(sum) / (4.0 * double(d.inked)) : 0.0;
  return d;
}

}  // namespace svgcheck
