// The bridge movie as the build writes it. What it does is the player
// contract's to test (on the runtime); here, what the host and the page
// count on: a small SWF 8 movie of one frame that draws nothing, registers
// the six callbacks and says it is ready, and whose callbacks hide no
// book variable from eval.
#include <gtest/gtest.h>

#include <regex>

#include "book/avm1_disassembler.h"
#include "player/swf.h"

TEST(BridgeMovie, IsOneSilentFrameOfSwf8ThatRegistersTheCallbacks) {
  const player::SwfMovie m = player::LoadSwfFile(READER_BRIDGE_MOVIE);
  EXPECT_EQ(m.version, 8);  // ExternalInterface needs 8
  EXPECT_EQ(m.shownFrames, 1);
  EXPECT_LT(m.data.size(), 2048u);
  std::string listing;
  for (const player::Tag& t : m.tags) {
    EXPECT_TRUE(t.code == player::kFileAttributes || t.code == 12 || t.code == player::kShowFrame ||
                t.code == player::kEnd)
        << "nothing but its actions: tag " << t.code;
    if (t.code == 12) listing += avm1::Disassemble(std::vector<std::uint8_t>(t.body.begin(), t.body.end()));
  }
  for (const char* name :
       {"readerGet", "readerSet", "readerCall", "readerFrame", "readerTotalFrames", "readerFramesLoaded"}) {
    EXPECT_NE(listing.find(std::string("Push null c:\"") + name + "\" 3"), std::string::npos) << name;
  }
  EXPECT_NE(listing.find("\"readerBridgeReady\""), std::string::npos);

  // A named parameter or local would be found by eval before _level0's
  // variable of that name.
  EXPECT_EQ(listing.find("DefineLocal"), std::string::npos);
  const std::regex function(R"(DefineFunction2 "" regs \d+ flags 0x0 \(([^)]*)\))");
  int functions = 0;
  for (auto it = std::sregex_iterator(listing.begin(), listing.end(), function); it != std::sregex_iterator();
       ++it, ++functions) {
    std::string params = (*it)[1];
    for (std::size_t at = 0; at < params.size();) {
      std::size_t end = params.find(", ", at);
      if (end == std::string::npos) end = params.size();
      const std::string p = params.substr(at, end - at);
      EXPECT_TRUE(p.rfind("r", 0) == 0 || p.rfind("$reader", 0) == 0) << p;
      at = end + 2;
    }
  }
  EXPECT_EQ(functions, 6);
}
