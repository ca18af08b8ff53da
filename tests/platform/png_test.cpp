#include <gtest/gtest.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "platform/alloc_tracker.h"
#include "platform/file_output.h"
#include "platform/surface_helpers.h"
#include "support/device_files.h"

namespace fs = std::filesystem;

namespace {

// A fresh directory per test, removed afterwards.
class PngFiles : public testing::Test {
 protected:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() /
           ("lexaro_png_" + std::string(info->name()) + "_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  static std::vector<unsigned char> Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static void Write(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  // No temporary file of a write (".lx...") is left in the directory.
  void ExpectNoTemporaryFile() const {
    for (const auto& e : fs::directory_iterator(dir_))
      EXPECT_NE(e.path().filename().string().rfind(".lx", 0), 0u) << "left behind: " << e.path();
  }
  fs::path dir_;
};

// The PNG of a small surface with its IHDR size replaced (and its CRC fixed).
std::vector<unsigned char> PngClaiming(std::uint32_t width, std::uint32_t height) {
  CRasterDC dc(1, 1, RGB(10, 20, 30));
  std::vector<unsigned char> png;
  EXPECT_TRUE(dc.EncodePng(&png));
  auto put32 = [&](size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) png[at + i] = (unsigned char)(v >> (24 - 8 * i));
  };
  EXPECT_EQ(std::string(png.begin() + 12, png.begin() + 16), "IHDR");
  put32(16, width);
  put32(20, height);
  put32(29, std::uint32_t(crc32(0, png.data() + 12, 17)));
  return png;
}

}  // namespace

TEST_F(PngFiles, SaveAndLoadRoundTripPixels) {
  CRasterDC dc(7, 5, CLR_TRANSPARENT);
  dc.SetPixel(0, 0, RGB(255, 0, 0));
  dc.SetPixel(6, 4, RGB(1, 2, 3));
  dc.FillSolidRect(2, 1, 3, 2, RGB(0x80, 0x40, 0xC0));
  // Semi-transparent, premultiplied.
  const std::uint32_t translucent[] = {0x80400000u, 0x01010101u, 0xFE102030u, 0x40404040u, 0x7F000000u};
  for (int i = 0; i < 5; ++i) dc.Bits()[3 * 7 + i] = translucent[i];

  std::string path = Path("round.png"), error;
  ASSERT_TRUE(dc.SavePng(path, &error)) << error;
  std::vector<unsigned char> encoded;
  ASSERT_TRUE(dc.EncodePng(&encoded));
  const unsigned char signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  ASSERT_GT(encoded.size(), 8u);
  EXPECT_TRUE(std::equal(signature, signature + 8, encoded.begin()));
  EXPECT_EQ(Read(path), encoded);
  EXPECT_FALSE(fs::exists(path + ".tmp"));

  auto back = CRasterDC::LoadPng(path, &error);
  ASSERT_TRUE(back) << error;
  ASSERT_EQ(back->Width(), 7);
  ASSERT_EQ(back->Height(), 5);
  for (int i = 0; i < 35; ++i) {
    std::uint32_t a = dc.Bits()[i], b = back->Bits()[i];
    EXPECT_EQ(a >> 24, b >> 24) << "alpha of pixel " << i;
    for (int shift = 0; shift < 24; shift += 8)
      EXPECT_NEAR(int((a >> shift) & 255), int((b >> shift) & 255), 1) << "pixel " << i;
  }
  EXPECT_EQ(back->GetPixel(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(back->GetPixel(6, 4), RGB(1, 2, 3));
  EXPECT_EQ(back->GetPixel(1, 1), CLR_TRANSPARENT);
  EXPECT_EQ(back->Bits()[3 * 7], 0x80400000u);

  // Saving again replaces the file.
  dc.Clear(RGB(0, 0, 0));
  ASSERT_TRUE(dc.SavePng(path));
  EXPECT_EQ(CRasterDC::LoadPng(path)->GetPixel(3, 3), RGB(0, 0, 0));
}

TEST_F(PngFiles, WriteFailuresReportAndLeaveNoFile) {
  CRasterDC dc(3, 3);
  std::string error;
  std::string missingDir = Path("no/such/dir/out.png");
  EXPECT_FALSE(dc.SavePng(missingDir, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(fs::exists(missingDir));
  // The target is a directory: the write fails and nothing is left behind.
  fs::create_directory(Path("taken.png"));
  error.clear();
  EXPECT_FALSE(dc.SavePng(Path("taken.png"), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(fs::is_directory(Path("taken.png")));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
  // An empty surface has no PNG form.
  CRasterDC empty(0, 4);
  std::vector<unsigned char> bytes;
  EXPECT_FALSE(empty.EncodePng(&bytes, &error));
  EXPECT_FALSE(empty.SavePng(Path("empty.png")));
  EXPECT_FALSE(fs::exists(Path("empty.png")));
  EXPECT_FALSE(dc.EncodePng(nullptr));
}

// Every kind of target a save meets: only regular files are replaced (and
// keep their mode and owner), links are followed and stay links, a link
// planted beside the target is never written through, and devices and FIFOs
// are written in place.
TEST_F(PngFiles, SavingReplacesOnlyRegularFilesAndFollowsNoPlantedLink) {
  CRasterDC dc(6, 4, RGB(1, 2, 3));
  std::vector<unsigned char> png;
  ASSERT_TRUE(dc.EncodePng(&png));
  const std::vector<unsigned char> old = {'o', 'l', 'd'};
  auto mode = [&](const char* name) { return fs::status(Path(name)).permissions() & fs::perms::all; };
  auto owner = [&](const char* name) {
    struct stat st {};
    ::stat(Path(name).c_str(), &st);
    return st.st_uid;
  };
  const std::string longName(255, 'n');
  int fifo = -1;
  struct Case {
    const char* what;
    std::string target;
    std::function<bool()> setUp;  // false: not possible here
    std::function<void(bool saved, const std::string& error)> check;
  } cases[] = {
      {"a link planted at the name with .tmp", "t.png",
       [&] { return Write(Path("victim"), old), ::symlink("victim", Path("t.png.tmp").c_str()) == 0; },
       [&](bool saved, const std::string&) {
         EXPECT_TRUE(saved && Read(Path("t.png")) == png);
         EXPECT_EQ(Read(Path("victim")), old);
         EXPECT_TRUE(fs::is_symlink(Path("t.png.tmp")));
       }},
      {"a link at the target", "l.png", [&] { return ::symlink("real.png", Path("l.png").c_str()) == 0; },
       [&](bool saved, const std::string&) {
         EXPECT_TRUE(saved && Read(Path("real.png")) == png);
         EXPECT_TRUE(fs::is_symlink(Path("l.png")));
       }},
      {"a link to a link to a missing file", "a.png",
       [&] {
         return fs::create_directory(Path("sub")) && ::symlink("b.png", Path("a.png").c_str()) == 0 &&
                ::symlink("sub/new.png", Path("b.png").c_str()) == 0;
       },
       [&](bool saved, const std::string&) {
         EXPECT_TRUE(saved && Read(Path("sub/new.png")) == png);
         EXPECT_TRUE(fs::is_symlink(Path("a.png")) && fs::is_symlink(Path("b.png")));
       }},
      {"a mode 600 file", "m.png", [&] { return Write(Path("m.png"), old), ::chmod(Path("m.png").c_str(), 0600) == 0; },
       [&](bool saved, const std::string&) {
         EXPECT_TRUE(saved && Read(Path("m.png")) == png);
         EXPECT_EQ(mode("m.png"), fs::perms::owner_read | fs::perms::owner_write);
       }},
      {"another user's file", "u.png", [&] { return Write(Path("u.png"), old), ::chown(Path("u.png").c_str(), 4321, 4321) == 0; },
       [&](bool saved, const std::string&) {
         EXPECT_TRUE(saved && Read(Path("u.png")) == png);
         EXPECT_EQ(owner("u.png"), 4321u);
       }},
      {"a name of 255 bytes", longName, [] { return true; },
       [&](bool saved, const std::string& error) { EXPECT_TRUE(saved && Read(Path(longName.c_str())) == png) << error; }},
      {"a FIFO", "fifo", [&] { return (fifo = FifoReader(Path("fifo"))) >= 0; },
       [&](bool saved, const std::string& error) {
         EXPECT_TRUE(saved) << error;
         EXPECT_EQ(DrainFifo(fifo), std::string(png.begin(), png.end()));
         EXPECT_TRUE(fs::is_fifo(Path("fifo")));
       }},
      {"a null device", "null", [&] { return CopyDevice("/dev/null", Path("null")); },
       [&](bool saved, const std::string& error) { EXPECT_TRUE(saved && IsCharDevice(Path("null"))) << error; }},
      {"a full device", "full", [&] { return CopyDevice("/dev/full", Path("full")); },
       [&](bool saved, const std::string& error) {
         EXPECT_FALSE(saved);
         EXPECT_NE(error.find(std::strerror(ENOSPC)), std::string::npos) << error;
         EXPECT_TRUE(IsCharDevice(Path("full")));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (!c.setUp()) {
      std::printf("skipped here: %s\n", c.what);
      continue;
    }
    std::string error;
    bool saved = dc.SavePng(Path(c.target.c_str()), &error);
    c.check(saved, error);
  }
  ExpectNoTemporaryFile();
}

// A replacement stays private until it is complete, and the system, not
// the directory alone, decides whether the caller may write the file.
TEST_F(PngFiles, AReplacementIsPrivateUntilCompleteAndOnlyOfAWritableFile) {
  Write(Path("shared.png"), {'o', 'l', 'd'});
  ::chmod(Path("shared.png").c_str(), 0644);
  fs::perms whileWriting{};
  std::string error;
  ASSERT_TRUE(lexaro::output::WriteOutputFile(
      Path("shared.png"),
      [&](lexaro::output::Sink& sink, std::string*) {
        for (const auto& e : fs::directory_iterator(dir_))
          if (e.path().filename().string().rfind(".lx", 0) == 0) whileWriting = e.status().permissions();
        return sink.Write("new");
      },
      &error))
      << error;
  EXPECT_EQ(whileWriting, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(fs::status(Path("shared.png")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);

  // Another user in a directory everybody may write cannot replace the file.
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  ::chmod(dir_.c_str(), 0777);
  pid_t pid = ::fork();
  if (pid == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
    std::string why;
    ::_exit(lexaro::output::WriteOutputFile(Path("shared.png"), "theirs", &why) ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_EQ(Read(Path("shared.png")), (std::vector<unsigned char>{'n', 'e', 'w'}));
}

// A new file is complete when its name appears, has 0666 less the umask,
// and replaces whatever took its name while it was written.
TEST_F(PngFiles, ANewFileAppearsWholeWithTheUmasksModeAndWinsARace) {
  const mode_t oldMask = ::umask(027);
  std::string error;
  bool seenEarly = true;
  ASSERT_TRUE(lexaro::output::WriteOutputFile(
      Path("new.png"),
      [&](lexaro::output::Sink& sink, std::string*) {
        seenEarly = fs::exists(Path("new.png"));
        return sink.Write("new");
      },
      &error))
      << error;
  EXPECT_FALSE(seenEarly);
  EXPECT_EQ(fs::status(Path("new.png")).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ::umask(oldMask);
  for (bool link : {false, true}) {
    SCOPED_TRACE(link ? "a link appears" : "a file appears");
    const std::string path = Path(link ? "race-link.png" : "race-file.png");
    ASSERT_TRUE(lexaro::output::WriteOutputFile(
        path,
        [&](lexaro::output::Sink& sink, std::string*) {
          if (link) EXPECT_EQ(::symlink("elsewhere", path.c_str()), 0);
          else Write(path, {'o', 'l', 'd'});
          return sink.Write("new");
        },
        &error))
        << error;
    EXPECT_EQ(Read(path), (std::vector<unsigned char>{'n', 'e', 'w'}));
    EXPECT_FALSE(fs::exists(Path("elsewhere")));
  }
  ExpectNoTemporaryFile();
}

// Where the system refuses to link an unnamed file at its name (a sandbox
// forbidding linkat here), the file is written again through a named one.
TEST_F(PngFiles, ANewFileIsStillWrittenWhereUnnamedFilesCannotBeNamed) {
  const std::string path = Path("sandboxed.png");
  pid_t pid = ::fork();
  if (pid == 0) {
#if defined(__x86_64__)
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, AUDIT_ARCH_X86_64, 0, 3),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_linkat, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{sizeof filter / sizeof filter[0], filter};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) != 0)
      ::_exit(77);
    int calls = 0;
    std::string error;
    const bool saved = lexaro::output::WriteOutputFile(
        path, [&](lexaro::output::Sink& sink, std::string*) { return ++calls, sink.Write("new"); }, &error);
    ::_exit(saved && calls == 2 ? 0 : 1);
#else
    ::_exit(77);
#endif
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status)) << status;
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no seccomp filter here";
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(Read(path), (std::vector<unsigned char>{'n', 'e', 'w'}));
  ExpectNoTemporaryFile();
}

TEST(PngSink, StreamsTheSameBytesAndStopsWhenTheSinkFails) {
  CRasterDC dc(300, 200, RGB(10, 200, 30));
  dc.FillSolidRect(20, 30, 100, 50, RGB(1, 2, 3));
  std::vector<unsigned char> whole;
  ASSERT_TRUE(dc.EncodePng(&whole));
  // A small image reaches the sink in one piece (one write for a file).
  std::vector<unsigned char> streamed;
  int pieces = 0;
  ASSERT_TRUE(dc.WritePng([&](const void* data, size_t size) {
    const auto* b = static_cast<const unsigned char*>(data);
    streamed.insert(streamed.end(), b, b + size);
    ++pieces;
    return true;
  }));
  EXPECT_EQ(streamed, whole);
  EXPECT_EQ(pieces, 1);
  // A sink that refuses or throws at any piece ends the encoding with a
  // reason; no exception crosses the encoder.
  for (int failAt : {1}) {
    for (bool throws : {false, true}) {
      SCOPED_TRACE(std::to_string(failAt) + (throws ? " throws" : " refuses"));
      int seen = 0;
      std::string error;
      EXPECT_FALSE(dc.WritePng(
          [&](const void*, size_t) {
            if (++seen < failAt) return true;
            if (throws) throw std::bad_alloc();
            return false;
          },
          &error));
      EXPECT_EQ(seen, failAt);
      EXPECT_FALSE(error.empty());
    }
  }
  std::string error;
  EXPECT_FALSE(dc.WritePng(nullptr, &error));
  EXPECT_FALSE(error.empty());
}

TEST_F(PngFiles, BadInputIsRefusedCleanly) {
  CRasterDC dc(20, 10, RGB(50, 60, 70));
  std::vector<unsigned char> png;
  ASSERT_TRUE(dc.EncodePng(&png));

  std::vector<unsigned char> truncated(png.begin(), png.begin() + png.size() / 2);
  std::vector<unsigned char> headerOnly(png.begin(), png.begin() + 33);
  std::vector<unsigned char> text = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g', '\n'};
  std::vector<unsigned char> badCrc = png;
  badCrc[29] ^= 0xFF;
  // Padded after its end so that the file is long enough for its size.
  std::vector<unsigned char> area = PngClaiming(20000, 20000);
  area.resize(area.size() + (1 << 16));
  const std::pair<const char*, std::vector<unsigned char>> files[] = {
      {"truncated.png", truncated},  {"header.png", headerOnly}, {"text.png", text},
      {"empty.png", {}},             {"crc.png", badCrc},
      {"wide.png", PngClaiming(CRasterDC::kMaxSide + 1, 1)},
      {"huge.png", PngClaiming(40000, 40000)},
      {"area.png", area},  // each side allowed, the area not
      {"short.png", PngClaiming(64, 64)},       // data for one pixel only
      {"zero.png", PngClaiming(0, 5)},
      // Allowed sizes, but a few bytes cannot hold that many pixels (deflate
      // packs at most 1032 bytes into one).
      {"claim.png", PngClaiming(16384, 16384)},
  };
  // Each is refused with a reason, before any pixels are allocated.
  for (const auto& [name, bytes] : files) {
    SCOPED_TRACE(name);
    Write(Path(name), bytes);
    std::string error;
    LargestAllocation largest;
    EXPECT_EQ(CRasterDC::LoadPng(Path(name), &error), nullptr);
    EXPECT_FALSE(error.empty());
    EXPECT_LT(largest.Bytes(), 1u << 20);
  }
  std::string error;
  EXPECT_EQ(CRasterDC::LoadPng(Path("missing.png"), &error), nullptr);
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(CRasterDC::LoadPng(dir_.string()), nullptr);
  // The untouched bytes still load.
  Write(Path("good.png"), png);
  auto good = CRasterDC::LoadPng(Path("good.png"));
  ASSERT_TRUE(good);
  EXPECT_EQ(good->GetPixel(19, 9), RGB(50, 60, 70));
}
