#include "components/window.h"

#include "components/errors.h"
#include "tests/support/support.h"

using namespace components;
using headless::HarnessFailure;

namespace {

WindowDesign Dialog() {
  WindowDesign d;
  d.name = "dialog";
  d.caption = "對話";
  d.clientWidth = 3000;
  d.clientHeight = 2000;
  d.border = BorderStyle::FixedDialog;
  ControlDesign text{.name = "Text1", .kind = ControlKind::TextBox, .maxLength = 3};
  ControlDesign list{.name = "List1", .kind = ControlKind::ListBox};
  ControlDesign button{.name = "Command1", .kind = ControlKind::Button, .caption = "確定"};
  ControlDesign check{.name = "Check1", .kind = ControlKind::CheckBox};
  ControlDesign timer{.name = "Timer1", .kind = ControlKind::Timer, .enabled = false, .interval = 10};
  d.controls = {text, list, button, check, timer};
  return d;
}

}  // namespace

TEST(WindowLifecycle, LoadsOnceAndReferringToAControlLoads) {
  headless::Desktop desktop;
  Window w(desktop, Dialog());
  int loads = 0;
  w.OnLoad([&] { ++loads; });
  EXPECT_FALSE(w.IsLoaded());
  w.control("Text1").SetText("ab");  // loads first
  EXPECT_TRUE(w.IsLoaded());
  w.Load();
  w.Show();
  EXPECT_EQ(loads, 1);
  EXPECT_EQ(w.control("Text1").Text(), "ab");
}

TEST(WindowLifecycle, UnloadAsksFirstAndRunsItsHandlersOnce) {
  headless::Desktop desktop;
  Window w(desktop, Dialog());
  std::vector<std::string> events;
  bool refuse = true;
  w.OnQueryUnload([&](bool& cancel, CloseKind kind) {
    events.push_back("query " + std::to_string(static_cast<int>(kind)));
    // A nested unload from inside the question does nothing.
    EXPECT_FALSE(w.Unload());
    cancel = refuse;
  });
  w.OnUnload([&] { events.push_back("unload"); });
  w.Show();
  EXPECT_FALSE(w.Unload());
  EXPECT_TRUE(w.IsLoaded());
  refuse = false;
  w.UserClose();
  EXPECT_FALSE(w.IsLoaded());
  EXPECT_TRUE(w.Unload());  // not loaded: nothing runs
  EXPECT_EQ(events, (std::vector<std::string>{"query 1", "query 0", "unload"}));
  // A new load starts from the design again.
  EXPECT_EQ(w.control("Text1").Text(), "");
}

TEST(WindowLifecycle, ModalShowReturnsWhenTheWindowIsHiddenOrUnloaded) {
  headless::Desktop desktop;
  Window owner(desktop, WindowDesign{.name = "owner"});
  Window w(desktop, Dialog());
  bool clicked = false;
  w.OnClick("Command1", [&] {
    clicked = true;
    w.Hide();
  });
  desktop.WhenModal("dialog", [](Window& self) { self.control("Command1").UserClick(); });
  w.ShowModal(&owner);
  EXPECT_TRUE(clicked);
  EXPECT_TRUE(w.IsLoaded());
  EXPECT_FALSE(w.IsVisible());

  desktop.WhenModal("dialog", [](Window& self) { self.UserClose(); });
  w.ShowModal(&owner);
  EXPECT_FALSE(w.IsLoaded());

  // A script that leaves the window open is a failing test, not a hang.
  desktop.WhenModal("dialog", [](Window&) {});
  EXPECT_THROW(w.ShowModal(&owner), HarnessFailure);
}

TEST(WindowLifecycle, ATimerEndsAModalWindowAfterTheScript) {
  headless::Desktop desktop;
  Window w(desktop, Dialog());
  int ticks = 0;
  w.OnTimer("Timer1", [&] {
    ++ticks;
    w.control("Timer1").SetEnabled(false);
    w.Unload();
  });
  desktop.WhenModal("dialog", [](Window& self) { self.control("Timer1").SetEnabled(true); });
  w.ShowModal(nullptr);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(desktop.now(), 10);
  EXPECT_FALSE(w.IsLoaded());
}

TEST(Controls, WhatTheUserDoesRunsTheHandlers) {
  headless::Desktop desktop;
  Window w(desktop, Dialog());
  std::vector<std::string> events;
  w.OnClick("Check1", [&] { events.push_back("check " + std::to_string(w.control("Check1").Value())); });
  w.OnClick("List1", [&] { events.push_back("list " + std::to_string(w.control("List1").ListIndex())); });
  Control& text = w.control("Text1");
  EXPECT_TRUE(text.UserType("第一二三四"));
  EXPECT_EQ(text.Text(), "第一二");  // the limit counts characters
  w.control("Check1").UserClick();
  w.control("Check1").UserClick();
  Control& list = w.control("List1");
  list.AddItem("a");
  list.AddItem("b");
  EXPECT_FALSE(list.UserSelect(2));
  EXPECT_TRUE(list.UserSelect(1));
  list.RemoveItem(1);
  EXPECT_EQ(list.ListIndex(), -1);
  EXPECT_THROW(list.List(1), ComponentError);
  EXPECT_EQ(events, (std::vector<std::string>{"check 1", "check 0", "list 1"}));

  w.control("Command1").SetEnabled(false);
  EXPECT_FALSE(w.control("Command1").UserClick());
}

TEST(Controls, AFailingHandlerIsReportedAndEndsTheProgram) {
  headless::Desktop desktop;
  desktop.SetAppTitle("書");
  Window w(desktop, Dialog());
  w.OnClick("Command1", [] { throw ComponentError("disk on fire"); });
  desktop.ExpectBox(Answer::OK);
  EXPECT_THROW(w.control("Command1").UserClick(), ProgramEnded);
  ASSERT_EQ(desktop.boxes().size(), 1u);
  EXPECT_NE(desktop.boxes()[0].box.text.find("disk on fire"), std::string::npos);
  EXPECT_EQ(desktop.boxes()[0].caption, "書");
}

TEST(HeadlessDesktop, AnUnexpectedMessageBoxFailsWithItsText) {
  headless::Desktop desktop;
  try {
    desktop.MsgBox({.text = "你好"});
    FAIL();
  } catch (const HarnessFailure& e) {
    EXPECT_NE(std::string(e.what()).find("你好"), std::string::npos);
  }
  desktop.ExpectBox(Answer::Yes);
  EXPECT_THROW(desktop.MsgBox({.text = "ok only"}), HarnessFailure);  // no Yes button there
}

TEST(HeadlessDesktop, PostedEventsRunInOrderOnlyWhenEventsMayRun) {
  headless::Desktop desktop;
  std::vector<int> order;
  desktop.Post([&] {
    order.push_back(1);
    desktop.Post([&] { order.push_back(3); });
  });
  desktop.Post([&] { order.push_back(2); });
  EXPECT_TRUE(order.empty());
  desktop.DoEvents();
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(WindowModel, AHandlerForSomethingTheDesignLacksIsATypoThatFailsLoudly) {
  headless::Desktop desktop;
  WindowDesign d{.name = "dialog", .caption = "d", .clientWidth = 3000, .clientHeight = 2000};
  d.controls = {{.name = "Command1", .kind = ControlKind::Button},
                {.name = "Timer1", .kind = ControlKind::Timer}};
  d.menus = {{"menu", "m", false, {{"item", "i", true, {}}}}};
  Window w(desktop, d);
  EXPECT_THROW(w.OnClick("Comand1", [] {}), std::invalid_argument);
  EXPECT_THROW(w.OnChange("Text1", [] {}), std::invalid_argument);
  EXPECT_THROW(w.OnTimer("Command1", [] {}), std::invalid_argument);  // not a timer
  EXPECT_THROW(w.OnMenu("itme", [] {}), std::invalid_argument);
  EXPECT_NO_THROW(w.OnClick("Command1", [] {}));
  EXPECT_NO_THROW(w.OnTimer("Timer1", [] {}));
  EXPECT_NO_THROW(w.OnMenu("item", [] {}));
}
