// The sample files of the source tree, read, for tests that sweep every
// sample (LEXARO_SAMPLES_DIR names the directory).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/gallery.h"

struct SampleFile {
  std::string path, text;
};

// Every sample file; a file that cannot be listed or read fails the test.
inline std::vector<SampleFile> ReadSampleFiles() {
  std::vector<std::string> paths;
  std::vector<SampleFile> samples;
  std::string error;
  if (!gallery::ListSamples(LEXARO_SAMPLES_DIR, &paths, &error)) {
    ADD_FAILURE() << error;
    return samples;
  }
  for (const std::string& path : paths) {
    SampleFile s{path, ""};
    if (gallery::ReadSample(path, &s.text, &error)) samples.push_back(std::move(s));
    else ADD_FAILURE() << error;
  }
  return samples;
}
