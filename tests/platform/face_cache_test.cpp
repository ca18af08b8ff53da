// The disk cache of fontconfig's answers: used only when whole, private and
// current; anything else is ignored whole.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/font/face_cache.h"

namespace fs = std::filesystem;
using lexaro::font::FaceCache;

namespace {

constexpr std::uint64_t kEnv = 0x1234;

std::string Read(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void Write(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

// The hash the file ends with, to forge well-formed files.
std::string Checksum(const std::string& text) {
  std::uint64_t h = 0xcbf29ce484222325ULL;
  for (unsigned char c : text) h = (h ^ c) * 0x100000001b3ULL;
  char buffer[17];
  std::snprintf(buffer, sizeof buffer, "%016llx", (unsigned long long)h);
  return buffer;
}

// The body with a fresh end line.
std::string Sealed(std::string text) {
  text = text.substr(0, text.rfind("end "));
  return text + "end " + Checksum(text) + "\n";
}

class FaceCacheFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "lexaro-face-cache-XXXXXX").string();
    ASSERT_TRUE(::mkdtemp(pattern.data()));
    m_dir = pattern;
    fs::create_directories(m_dir / "fonts");
    Write(m_dir / "fonts.conf", "<fontconfig/>");
    m_watched = {(m_dir / "fonts.conf").string(), (m_dir / "fonts").string(), (m_dir / "user.conf").string()};
    m_file = (m_dir / "cache" / "fonts").string();
    FaceCache cache(m_file, kEnv);
    cache.Store("list -- Serif|", Found("/fonts/serif.ttf"), m_watched);
    cache.Store("installed Serif", FaceCache::Answer{true, {}}, m_watched);
    cache.Store("match b- Nothing", FaceCache::Answer{}, m_watched);
  }
  void TearDown() override { fs::remove_all(m_dir); }

  FaceCache::Answer Found(const std::string& inFonts) {
    return {true, {(m_dir.string() + inFonts), 1, 200, 100}};
  }
  bool Loads(std::uint64_t env = kEnv) {
    FaceCache cache(m_file, env);
    return cache.Load() && cache.Find("list -- Serif|");
  }

  fs::path m_dir;
  std::string m_file;
  std::vector<std::string> m_watched;
};

TEST_F(FaceCacheFile, AnswersComeBackInAnotherProcess) {
  FaceCache cache(m_file, kEnv);
  ASSERT_TRUE(cache.Load());
  const FaceCache::Answer* a = cache.Find("list -- Serif|");
  ASSERT_TRUE(a);
  EXPECT_TRUE(a->found);
  EXPECT_EQ(a->file.path, (m_dir / "fonts/serif.ttf").string());
  EXPECT_EQ(a->file.index, 1);
  EXPECT_EQ(a->file.weight, 200);
  EXPECT_EQ(a->file.slant, 100);
  ASSERT_TRUE(cache.Find("installed Serif"));
  EXPECT_TRUE(cache.Find("installed Serif")->found);
  ASSERT_TRUE(cache.Find("match b- Nothing"));
  EXPECT_FALSE(cache.Find("match b- Nothing")->found);
  EXPECT_FALSE(cache.Find("match -- Nothing"));
  // Written privately and atomically: no temporary file is left behind.
  EXPECT_EQ((fs::status(m_file).permissions() & (fs::perms::group_all | fs::perms::others_all)), fs::perms::none);
  EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "cache"), fs::directory_iterator()), 1);
}

TEST_F(FaceCacheFile, AnyDamagedFileIsIgnoredWhole) {
  const std::string good = Read(m_file);
  for (size_t n = 0; n < good.size(); ++n) {
    Write(m_file, good.substr(0, n));
    EXPECT_FALSE(Loads()) << "truncated to " << n;
  }
  for (size_t at = 0; at < good.size(); at += 7) {
    std::string bad = good;
    bad[at] ^= 0x20;
    Write(m_file, bad);
    EXPECT_FALSE(Loads()) << "byte " << at << " changed";
  }
  Write(m_file, good);
  EXPECT_TRUE(Loads());
}

TEST_F(FaceCacheFile, WellFormedButWrongFilesAreIgnored) {
  const std::string good = Read(m_file);
  const std::string serif = (m_dir / "fonts/serif.ttf").string();
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return Sealed(text);
  };
  const struct {
    const char* what;
    std::string text;
  } cases[] = {
      {"a file outside the font directories", replaced(serif, "/etc/passwd")},
      {"a relative file", replaced(serif, "fonts/serif.ttf")},
      {"a climb out of a font directory", replaced(serif, (m_dir / "fonts/../fonts.conf").string())},
      {"a file for a yes-or-no answer", replaced("\t\tinstalled", "\t" + serif + "\tinstalled")},
      {"a line of nothing known", Sealed(good.substr(0, good.rfind("end ")) + "junk\n")},
      {"a number out of range", replaced("answer 1 1 200", "answer 1 99999999999 200")},
      {"a larger file", Sealed(good.substr(0, good.rfind("end ")) + "answer 0 0 80 0\t\tmatch -- " +
                               std::string(FaceCache::kMaxFileBytes, 'x') + "\n")},
  };
  for (const auto& c : cases) {
    Write(m_file, c.text);
    EXPECT_FALSE(Loads()) << c.what;
  }
  Write(m_file, replaced("serif.ttf", "sans.ttf"));
  EXPECT_TRUE(Loads()) << "the same file, resealed";
}

TEST_F(FaceCacheFile, ChangesOfTheConfigurationMakeItStale) {
  const std::function<void()> changes[] = {
      [&] { Write(m_dir / "fonts.conf", "<fontconfig><dir>/x</dir></fontconfig>"); },
      [&] { Write(m_dir / "fonts" / "new.ttf", ""); },       // a font installed
      [&] { Write(m_dir / "user.conf", "<fontconfig/>"); },  // a configuration appears
      [&] { fs::remove(m_dir / "fonts.conf"); },             // one goes away
  };
  for (const auto& change : changes) {
    TearDown();
    SetUp();
    EXPECT_TRUE(Loads());
    // File times tick coarsely (a few milliseconds): step past the tick the
    // cache was written in, as any real change comes later than that.
    ::usleep(20000);
    change();
    EXPECT_FALSE(Loads());
  }
  EXPECT_FALSE(Loads(kEnv + 1)) << "another environment";
}

TEST_F(FaceCacheFile, OnlyTheUsersOwnPrivateRegularFileIsRead) {
  ASSERT_EQ(::chmod(m_file.c_str(), 0666), 0);
  EXPECT_FALSE(Loads()) << "writable by others";
  ASSERT_EQ(::chmod(m_file.c_str(), 0600), 0);
  EXPECT_TRUE(Loads());
  fs::rename(m_file, m_file + ".real");
  fs::create_symlink(m_file + ".real", m_file);
  EXPECT_FALSE(Loads()) << "a link";
  fs::remove(m_file);
  fs::create_directory(m_file);
  EXPECT_FALSE(Loads()) << "a directory";
  fs::remove(m_file);
  ASSERT_EQ(::mkfifo(m_file.c_str(), 0600), 0);
  EXPECT_FALSE(Loads()) << "a FIFO (and reading it does not hang)";
}

TEST_F(FaceCacheFile, WhatTheFileCannotHoldStaysInMemoryOnly) {
  FaceCache cache(m_file, kEnv);
  ASSERT_TRUE(cache.Load());
  cache.Store("match -- Tab\there", Found("/fonts/a.ttf"), m_watched);
  cache.Store("match -- Line\nend", Found("/fonts/a.ttf"), m_watched);
  for (size_t i = 0; i < FaceCache::kMaxAnswers + 10; ++i)
    cache.Store("match -- Face " + std::to_string(i), Found("/fonts/a.ttf"), m_watched);
  FaceCache again(m_file, kEnv);
  ASSERT_TRUE(again.Load());
  EXPECT_FALSE(again.Find("match -- Tab\there"));
  EXPECT_FALSE(again.Find("match -- Line\nend"));
  EXPECT_TRUE(again.Find("match -- Face 0"));
  EXPECT_FALSE(again.Find("match -- Face " + std::to_string(FaceCache::kMaxAnswers)));
}

TEST_F(FaceCacheFile, DistrustedAnswersAreDroppedAndTheFileLeftAlone) {
  FaceCache cache(m_file, kEnv);
  ASSERT_TRUE(cache.Load());
  const std::string before = Read(m_file);
  cache.Distrust();
  EXPECT_FALSE(cache.Find("list -- Serif|"));
  cache.Store("match -- Other", Found("/fonts/a.ttf"), m_watched);
  EXPECT_FALSE(cache.Load());
  EXPECT_EQ(Read(m_file), before);
}

TEST(FaceCachePath, FollowsTheUsersCacheDirectoryAndCanBeTurnedOff) {
  const char* names[] = {"XDG_CACHE_HOME", "HOME", "LEXARO_FONT_CACHE"};
  std::vector<std::pair<std::string, bool>> saved;
  for (const char* n : names) saved.emplace_back(std::getenv(n) ? std::getenv(n) : "", std::getenv(n) != nullptr);
  const struct {
    const char *xdg, *home, *off;
    std::string path;
  } cases[] = {
      {"/c", "/h", nullptr, "/c/lexaro/fonts"},
      {nullptr, "/h", nullptr, "/h/.cache/lexaro/fonts"},
      {"relative", "/h", nullptr, "/h/.cache/lexaro/fonts"},
      {nullptr, nullptr, nullptr, ""},
      {"/c", "/h", "off", ""},
      {"/c", "/h", "on", "/c/lexaro/fonts"},
  };
  for (const auto& c : cases) {
    const char* values[] = {c.xdg, c.home, c.off};
    for (int i = 0; i < 3; ++i) values[i] ? ::setenv(names[i], values[i], 1) : ::unsetenv(names[i]);
    EXPECT_EQ(FaceCache::DefaultPath(), c.path);
  }
  for (int i = 0; i < 3; ++i)
    saved[i].second ? ::setenv(names[i], saved[i].first.c_str(), 1) : ::unsetenv(names[i]);
}

}  // namespace
