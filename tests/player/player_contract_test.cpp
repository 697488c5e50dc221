// The player contract on the stand-in: every case of the table, each on a
// player of its own over the deterministic desktop.
#include <gtest/gtest.h>

#include "platform/headless/desktop.h"
#include "player/book_player.h"
#include "tests/support/player_contract.h"
#include "tests/support/support.h"

TEST(PlayerContract, TheStandInAnswersEveryCase) {
  for (const contract::Case& c : contract::Cases()) {
    SCOPED_TRACE(c.name);
    testing_support::TempDir dir;
    headless::Desktop desktop;
    player::BookPlayer player{desktop, nullptr};
    // The clock moves a frame's time (12 fps) a step: a movie that plays
    // on reaches its next frame within a few.
    auto step = [&] {
      desktop.Pump();
      desktop.Advance(25);
    };
    const contract::Harness harness{
        .place =
            [&](const contract::Bytes& movie, const std::string& name) {
              testing_support::WriteFile(dir / name, std::string(movie.begin(), movie.end()));
              return dir / name;
            },
        .runUntil =
            [&](const std::function<bool()>& done) {
              for (int i = 0; i < 40; ++i) {
                if (done()) return true;
                step();
              }
              return done();
            },
        .settle =
            [&] {
              for (int i = 0; i < 8; ++i) step();
            },
    };
    contract::Run(c, player, harness);
  }
}
