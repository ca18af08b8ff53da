// The program's disk cache of font answers: a later run uses it, and any
// change of the font configuration or a damaged file gives the answers a
// run without the cache gives.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "run_cli.h"

namespace {

// Sets an environment variable for the runs of one test.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : m_name(name) {
    const char* old = std::getenv(name);
    m_had = old != nullptr;
    if (old) m_old = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() { m_had ? ::setenv(m_name, m_old.c_str(), 1) : ::unsetenv(m_name); }

 private:
  const char* m_name;
  std::string m_old;
  bool m_had = false;
};

std::string Config(const std::string& extra) {
  return "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n<fontconfig>\n"
         "<include ignore_missing=\"yes\">/etc/fonts/fonts.conf</include>\n" +
         extra + "</fontconfig>\n";
}

TEST(CliFontCache, AnswersFollowTheFontConfiguration) {
  ScratchDir dir;
  ScopedEnv cache("XDG_CACHE_HOME", (dir / "cache").string());
  ScopedEnv conf("FONTCONFIG_FILE", (dir / "fonts.conf").string());
  ScopedEnv on("LEXARO_FONT_CACHE", "on");
  auto draw = [&](const std::string& name) {
    Outcome o = RunCli({"render", "WiW<+>x", "--font", "Lexaro Test Face", "-o", name}, dir.path());
    EXPECT_EQ(o.status, 0) << o.err;
    return ReadFile(dir / name);
  };
  WriteFile(dir / "fonts.conf", Config(""));
  const std::string plain = draw("plain.png");
  ASSERT_TRUE(std::filesystem::exists(dir / "cache/lexaro/fonts"));
  EXPECT_TRUE(draw("again.png") == plain);
  ::usleep(20000);  // past the file times' coarse tick
  WriteFile(dir / "fonts.conf", Config("<alias><family>Lexaro Test Face</family>"
                                       "<prefer><family>Liberation Mono</family></prefer></alias>\n"));
  const std::string aliased = draw("aliased.png");
  EXPECT_TRUE(aliased != plain) << "the alias is not followed";
  {
    ScopedEnv off("LEXARO_FONT_CACHE", "off");
    EXPECT_TRUE(draw("uncached.png") == aliased);
  }
  WriteFile(dir / "cache/lexaro/fonts", "lexaro-fonts 1\ngarbage");
  EXPECT_TRUE(draw("damaged.png") == aliased);
  EXPECT_TRUE(draw("rewritten.png") == aliased);
}

}  // namespace
