#include "demo/samples.h"

#include <QCoreApplication>
#include <filesystem>

#include "tools/gallery.h"

namespace demo {
namespace fs = std::filesystem;

const std::vector<Sample>& Samples() {
  static const std::vector<Sample> samples = {
      {1006, QT_TRANSLATE_NOOP("demo::Samples", "配置①"), "1006-layout1.lxm"},
      {1011, QT_TRANSLATE_NOOP("demo::Samples", "配置②"), "1011-layout2.lxm"},
      {1009, QT_TRANSLATE_NOOP("demo::Samples", "DIV"), "1009-div.lxm"},
      {1012, QT_TRANSLATE_NOOP("demo::Samples", "添え字①"), "1012-scripts1.lxm"},
      {1014, QT_TRANSLATE_NOOP("demo::Samples", "添え字②"), "1014-scripts2.lxm"},
      {1007, QT_TRANSLATE_NOOP("demo::Samples", "数式①"), "1007-formulas1.lxm"},
      {1008, QT_TRANSLATE_NOOP("demo::Samples", "数式②"), "1008-formulas2.lxm"},
      {1010, QT_TRANSLATE_NOOP("demo::Samples", "数式③"), "1010-formulas3.lxm"},
      {1015, QT_TRANSLATE_NOOP("demo::Samples", "表①"), "1015-table1.lxm"},
      {1016, QT_TRANSLATE_NOOP("demo::Samples", "表②"), "1016-table2.lxm"},
      {1018, QT_TRANSLATE_NOOP("demo::Samples", "ｷﾞﾘｼｬ（小）"), "1018-greek-lower.lxm"},
      {1019, QT_TRANSLATE_NOOP("demo::Samples", "ｷﾞﾘｼｬ（大）"), "1019-greek-upper.lxm"},
      {1020, QT_TRANSLATE_NOOP("demo::Samples", "演算子"), "1020-operators.lxm"},
      {1021, QT_TRANSLATE_NOOP("demo::Samples", "その他"), "1021-others.lxm"},
      {1001, QT_TRANSLATE_NOOP("demo::Samples", "sample1"), "1001-sample1.lxm"},
      {1002, QT_TRANSLATE_NOOP("demo::Samples", "sample2"), "1002-sample2.lxm"},
      {1003, QT_TRANSLATE_NOOP("demo::Samples", "sample3"), "1003-sample3.lxm"},
      {1004, QT_TRANSLATE_NOOP("demo::Samples", "sample4"), "1004-sample4.lxm"},
      {1005, QT_TRANSLATE_NOOP("demo::Samples", "sample5"), "1005-sample5.lxm"},
  };
  return samples;
}

QString Caption(const Sample& sample) { return QCoreApplication::translate("demo::Samples", sample.caption); }

const Sample* FindSample(int id) {
  for (const Sample& s : Samples())
    if (s.id == id) return &s;
  return nullptr;
}

bool LoadSample(const std::string& dir, const Sample& sample, CString* text, std::string* error) {
  std::string lines;
  if (!gallery::ReadSample((fs::path(dir) / sample.file).string(), &lines, error)) return false;
  CString joined(lines);
  joined.Replace("\n", "\r\n");
  *text = joined;
  return true;
}

}  // namespace demo
