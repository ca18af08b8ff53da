// The demo's nineteen sample buttons and the sample files they load.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "lexaro/cstring.h"

namespace demo {

struct Sample {
  int id;               // the button's control identifier
  const char* caption;  // the button's caption (UTF-8), before translation
  const char* file;     // in the samples directory
};

// In the order of the form: layout, boxes, scripts, formulas, tables, then
// the symbol tables, then the samples of the previous version.
const std::vector<Sample>& Samples();
// The caption shown on a sample's button, in the interface's language.
QString Caption(const Sample& sample);
// The sample of a button, or null.
const Sample* FindSample(int id);

// The text of a sample as the edit box holds it: its lines, indentation
// kept, joined by "\r\n". False with the reason in *error when the file
// cannot be read.
bool LoadSample(const std::string& dir, const Sample& sample, CString* text, std::string* error);

}  // namespace demo
