// The book's pages: views, zoom, panning, clicks and the leaves that turn.
#include "tests/player/book_fixture.h"

using book_fixture::Book;
using player::Changes;
namespace L = player::layout;

TEST_F(Book, StartPlayOpensTheBookAndShowsTheToolbar) {
  Label("startPlay");
  EXPECT_TRUE(player.pages().opened());
  EXPECT_EQ(sent, std::vector<std::string>{"dirov.Win showUtility"});
  EXPECT_EQ(Get("/utility/jump_number.display"), "3");
  EXPECT_EQ(player.pages().leftPage(), 2);
  player.NextPage();
  EXPECT_EQ(Get("/utility/jump_number.display"), "5");
  player.LastPage();
  EXPECT_EQ(Get("/utility/jump_number.display"), "31");
  player.NextPage();
  EXPECT_EQ(Get("/utility/jump_number.display"), "31");
  player.FirstPage();
  EXPECT_EQ(Get("/utility/jump_number.display"), "1");
  player.PreviousPage();
  EXPECT_EQ(Get("/utility/jump_number.display"), "1");
}

TEST_F(Book, SinglePageZoomAndBackToTheSpread) {
  Label("startPlay");
  player.GoToPage(8);  // spread 8, 9
  sent.clear();
  Label("singleLeft");
  EXPECT_EQ(player.TGetProperty("/", 4), "2");
  EXPECT_EQ(Get("/utility/jump_number.display"), "8");
  EXPECT_EQ(sent, (std::vector<std::string>{"dirov.Toolbar withZoom", "dirov.Toolbar noZoomOut",
                                            "dirov.Toolbar zoomIn"}));
  sent.clear();
  Label("singleZoomIn");
  Label("singleZoomIn");
  Label("singleZoomIn");  // already at the top: nothing more
  EXPECT_DOUBLE_EQ(player.pages().zoom(), 2.0);
  EXPECT_EQ(sent, (std::vector<std::string>{"dirov.Toolbar zoomOut", "dirov.Toolbar noZoomIn"}));
  player.Pan(0, -10000);
  EXPECT_DOUBLE_EQ(player.pages().panY(), -249);  // the page's bottom edge, no further
  sent.clear();
  Label("singleZoomOut");
  Label("singleZoomOut");
  EXPECT_EQ(sent, (std::vector<std::string>{"dirov.Toolbar zoomIn", "dirov.Toolbar noZoomOut"}));
  player.NextPage();
  EXPECT_EQ(Get("/utility/jump_number.display"), "9");
  sent.clear();
  Label("doublePage");
  EXPECT_EQ(player.TGetProperty("/", 4), "1");
  EXPECT_EQ(Get("/utility/jump_number.display"), "9");
  EXPECT_EQ(sent, std::vector<std::string>{"dirov.Toolbar noZoom"});
  // Zooming does nothing in the spread.
  Label("singleZoomIn");
  EXPECT_DOUBLE_EQ(player.pages().zoom(), 1.0);
}

TEST_F(Book, ClicksOnTheStageSendWhatTheBookOffers) {
  Center(L::kRightPage);  // the cover opens the book
  EXPECT_EQ(sent, std::vector<std::string>{"dirov.Win showUtility"});
  sent.clear();
  Center(L::WindowButton(L::kHelpButton));
  Center(L::WindowButton(L::kMaximizeButton));
  Center(L::WindowButton(L::kMaximizeButton));
  Center(L::WindowButton(L::kMinimizeButton));
  Center(L::WindowButton(L::kCloseButton));
  EXPECT_EQ(sent, (std::vector<std::string>{"dirov.Win showHelp", "dirov.Win maximize", "dirov.Win restore",
                                            "dirov.Win minimize", "dirov.Win close"}));
  sent.clear();
  // The contents page is on the left: its third line is chapter 2, page 8.
  Center(L::OnPage(L::kLeftPage, L::ContentsEntry(2)));
  EXPECT_EQ(player.pages().leftPage(), 8);
  // Chapter 2 begins on page 8: its narration button.
  Center(L::NarrationButton(L::kLeftPage));
  EXPECT_EQ(sent, std::vector<std::string>{"loadSound 2"});
  sent.clear();
  Add("addNote", "9", "看這裡");
  Center(L::NoteMarker(L::kRightPage));
  EXPECT_EQ(sent, std::vector<std::string>{"viewNote 0"});
  // Elsewhere on a page turns it.
  player.Click(L::kRightPage.x + 100, L::kRightPage.y + 300);
  EXPECT_EQ(player.pages().rightPage(), 11);
  player.Click(L::kLeftPage.x + 100, L::kLeftPage.y + 300);
  EXPECT_EQ(player.pages().rightPage(), 9);
}

TEST(BookViewLeaves, TurnOnlyBetweenSpreadsOfTheOpenBook) {
  player::BookView view;
  view.Reset(31);
  const unsigned turned = Changes::kPages | Changes::kTurn;
  auto leaf = [&] {
    const player::Leaf& l = view.leaf();
    return std::vector<int>{l.fromLeft, l.fromRight, l.toLeft, l.toRight, l.forward};
  };
  EXPECT_EQ(view.PreviousPage().flags(), 0u);  // a closed book stays on its cover
  // To the end of the closed book: one leaf, from the cover.
  EXPECT_EQ(view.OpenAt(31).flags(), turned);
  EXPECT_EQ(leaf(), (std::vector<int>{0, 1, 30, 31, true}));
  EXPECT_EQ(view.NextPage().flags(), 0u);  // the last spread
  EXPECT_EQ(view.PreviousPage().flags(), turned);
  EXPECT_EQ(leaf(), (std::vector<int>{30, 31, 28, 29, false}));
  EXPECT_EQ(view.GoToPage(29).flags(), 0u);  // shown already
  // A single page and back, its zoom and panning: no leaf.
  EXPECT_EQ(view.EnterSingle(true).flags(), Changes::kPages);
  EXPECT_EQ(view.ZoomIn().flags(), Changes::kPages);
  EXPECT_EQ(view.Pan(0, 40).flags(), Changes::kPages);
  EXPECT_EQ(view.NextPage().flags(), Changes::kPages);
  EXPECT_EQ(view.EnterSpread().flags(), Changes::kPages);
  EXPECT_EQ(view.ZoomIn().flags(), 0u);  // no zoom in the spread
  EXPECT_EQ(view.Open().flags(), turned);
  EXPECT_EQ(leaf(), (std::vector<int>{28, 29, 2, 3, false}));
}

// The page number stays in sight beside a chapter's narration button, and
// the button stays on its page, wherever the page is shown.
TEST(BookLayout, TheNarrationButtonLeavesThePageNumberInSight) {
  for (const L::Rect& page : {L::kLeftPage, L::kRightPage, L::kSinglePage}) {
    const L::Rect number = L::OnPage(page, L::kPageNumber), button = L::NarrationButton(page);
    EXPECT_TRUE(button.x >= number.x + number.w || button.x + button.w <= number.x ||
                button.y >= number.y + number.h || button.y + button.h <= number.y);
    EXPECT_GE(button.x, page.x);
    EXPECT_LE(button.x + button.w, page.x + page.w);
    EXPECT_LE(button.y + button.h, page.y + page.h);
  }
}
