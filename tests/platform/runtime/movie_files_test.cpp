// What the runtime's view may load: every address it is given, and every
// way out of the folders that address names.
#include "platform/runtime/movie_files.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "book/served_movie.h"
#include "book/swf_writer.h"
#include "tests/support/support.h"

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Movie(int version, bool compressed) {
  book::SwfWriter swf(version, 400, 300, 12);
  swf.ShowFrame();
  Bytes b = swf.Finish(compressed);
  return std::string(b.begin(), b.end());
}

class MovieFilesTest : public ::testing::Test {
 protected:
  MovieFilesTest() {
    for (const char* d : {"runtime", "program", "media", "runtime/dir.js"})
      std::filesystem::create_directories(dir / d);
    WriteFile(dir / "runtime/ruffle.js", "window.ruffle = 1;");
    WriteFile(dir / "runtime/core.wasm", std::string("\0asm\1\0\0\0", 8));
    WriteFile(dir / "runtime/player.html", "<html></html>");
    WriteFile(dir / "runtime/bridge.swf", Movie(8, false));
    WriteFile(dir / "runtime/notes.txt", "not for the view");
    WriteFile(dir / "program/news.ezy", "news");
    WriteFile(dir / "program/news2.ezy", "news 2");
    WriteFile(dir / "program/secret.txt", "secret");
    WriteFile(dir / "media/K19990317045_1.zov", Movie(6, true));
    WriteFile(dir / "media/man.zov", Movie(8, false));
    WriteFile(dir / "media/bad.zov", "this is no movie at all");
    WriteFile(dir / "media/x.swf", Movie(8, false));
    WriteFile(dir / "secret.swf", Movie(8, false));
    WriteFile(dir / "secret.zov", Movie(6, false));
    WriteFile(dir / "the book.swf", Movie(8, true));
    files.SetBook(dir / "the book.swf");
  }
  TempDir dir;
  runtime::MovieFiles files{dir / "runtime", dir / "program", dir / "media"};
};

}  // namespace

TEST_F(MovieFilesTest, ServesWhatTheViewMayLoadAndRefusesEverythingElse) {
  constexpr char kFlash[] = "application/x-shockwave-flash";
  enum Body { kNone, kAsOnDisk, kServed };
  const struct {
    const char* url;
    int status;
    const char* mime = "";
    const char* file = "";  // the file it comes from
    Body body = kNone;
  } cases[] = {
      {"reader://runtime/ruffle.js", 200, "text/javascript", "runtime/ruffle.js", kAsOnDisk},
      {"reader://runtime/core.wasm", 200, "application/wasm", "runtime/core.wasm", kAsOnDisk},
      {"reader://runtime/player.html", 200, "text/html", "runtime/player.html", kAsOnDisk},
      // The bridge itself goes as it is: it must not load itself.
      {"reader://runtime/bridge.swf", 200, kFlash, "runtime/bridge.swf", kAsOnDisk},
      {"reader://book/book.swf", 200, kFlash, "the book.swf", kServed},
      {"reader://media/K19990317045_1.zov", 200, kFlash, "media/K19990317045_1.zov", kServed},
      {"reader://media/man.zov", 200, kFlash, "media/man.zov", kServed},
      {"reader://program/news.ezy", 200, "application/octet-stream", "program/news.ezy", kAsOnDisk},
      {"reader://program/news2.ezy", 200, "application/octet-stream", "program/news2.ezy", kAsOnDisk},
      {"READER://Runtime/ruffle.js", 200, "text/javascript", "runtime/ruffle.js", kAsOnDisk},
      {"reader://media/man.zov?chapter=1#top", 200, kFlash, "media/man.zov", kServed},
      // Out of the folder, plainly or escaped.
      {"reader://runtime/../program/news.ezy", 403},
      {"reader://runtime/../secret.swf", 403},
      {"reader://media/../secret.zov", 403},
      {"reader://runtime/%2e%2e/secret.swf", 403},
      {"reader://runtime/%2E%2E%2Fsecret.swf", 403},
      {"reader://media/.%2e/secret.zov", 403},
      {"reader://media/..%5csecret.zov", 403},
      {"reader://media/..\\secret.zov", 403},
      {"reader://runtime//etc/passwd", 403},
      {"reader://media//tmp/secret.zov", 403},
      {"reader://runtime/./ruffle.js", 403},
      {"reader://runtime/.hidden.js", 403},
      {"reader://runtime/ruffle.js%00.wasm", 403},
      {"reader://media/sub/man.zov", 403},
      // Not what the folder serves.
      {"reader://media/x.swf", 403},
      {"reader://runtime/notes.txt", 403},
      {"reader://program/secret.txt", 404},
      {"reader://program/../secret.swf", 403},
      {"reader://book/other.swf", 404},
      {"reader://book/", 403},
      // Other hosts, schemes and forms of address.
      {"reader://evil/ruffle.js", 403},
      {"reader://runtime.example.com/ruffle.js", 403},
      {"reader://user@runtime/ruffle.js", 403},
      {"reader://runtime:80/ruffle.js", 403},
      {"http://127.0.0.1/ruffle.js", 403},
      {"https://example.com/book.swf", 403},
      {"file:///etc/passwd", 403},
      {"", 403},
      {"reader://runtime", 404},
      // Missing, or not a file.
      {"reader://runtime/missing.js", 404},
      {"reader://runtime/dir.js", 404},
      {"reader://media/K19990317045_9.zov", 404},
      // A movie the runtime could not be given.
      {"reader://media/bad.zov", 415},
  };
  std::map<std::string, Bytes> before;
  for (const char* f : {"the book.swf", "media/K19990317045_1.zov", "media/man.zov", "runtime/bridge.swf"})
    before[f] = ReadFile(dir / f);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    const runtime::Response r = files.Get(c.url);
    EXPECT_EQ(r.status, c.status);
    if (c.status != 200) {
      EXPECT_TRUE(r.body.empty());
      continue;
    }
    EXPECT_EQ(r.mime, c.mime);
    const Bytes disk = ReadFile(dir / c.file);
    if (c.body == kAsOnDisk) {
      EXPECT_EQ(r.body, disk);
    }
    if (c.body == kServed) {
      EXPECT_NE(r.body, disk);
      EXPECT_EQ(r.body, avm1::ServedMovie(disk).value());
    }
  }
  for (const auto& [f, bytes] : before) EXPECT_EQ(ReadFile(dir / f), bytes) << f << " is never written";
}

TEST_F(MovieFilesTest, TheBookIsTheOneLastSetAndNoneBefore) {
  runtime::MovieFiles fresh{dir / "runtime", dir / "program", dir / "media"};
  EXPECT_EQ(fresh.Get("reader://book/book.swf").status, 404);
  fresh.SetBook(dir / "media/bad.zov");
  EXPECT_EQ(fresh.Get("reader://book/book.swf").status, 415);
  fresh.SetBook(dir / "secret.swf");
  EXPECT_EQ(fresh.Get("reader://book/book.swf").body,
            avm1::ServedMovie(ReadFile(dir / "secret.swf")).value());
}
