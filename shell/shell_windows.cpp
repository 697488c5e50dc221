// The intro panel, the help window and the About window.
#include <cstdint>

#include "shell/book.h"
#include "shell/program.h"
#include "shell/settings_store.h"

namespace shell {

using namespace components;

namespace {

WindowDesign FixedDialog(const char* name, const char* caption, Twips width, Twips height) {
  WindowDesign d;
  d.name = name;
  d.caption = caption;
  d.clientWidth = width;
  d.clientHeight = height;
  d.border = BorderStyle::FixedDialog;
  d.minButton = false;
  d.maxButton = false;
  d.startPosition = StartPosition::CenterOwner;
  return d;
}

ControlDesign Control(const char* name, ControlKind kind, Twips left, Twips top, Twips width, Twips height,
                      const char* caption = "") {
  ControlDesign c;
  c.name = name;
  c.kind = kind;
  c.left = left;
  c.top = top;
  c.width = width;
  c.height = height;
  c.caption = caption;
  return c;
}

// The maker of this book.
constexpr const char* kMaker = "示範數位出版";
constexpr const char* kMakerWeb = "http://www.example.com";
constexpr const char* kMakerTel = "(02) 2345-6789";
constexpr const char* kMakerMail = "books@example.com";

}  // namespace

std::string CreditText() {
  return std::string("本電子書由") + kMaker + "公司\r\n" + "(" + kMakerWeb + "）製作，\r\n" +
         " 如欲製作電子書，請洽\r\n" + "Tel: " + kMakerTel + " 或 \r\n" + " email: " + kMakerMail + "。";
}

WindowDesign AboutDesign(const std::string& picture) {
  WindowDesign d = FixedDialog("Form2", "關於翻頁電子書", 3300, 2790);
  ControlDesign image = Control("Image1", ControlKind::Image, 480, 240, 2055, 495);
  image.picture = picture;
  image.stretch = true;
  // The five lines need 75 pixels in the interface font: 1125 twips, not
  // the 975 of the classic system font.
  d.controls = {image, Control("Label1", ControlKind::Label, 240, 960, 2895, 1125),
                Control("Command1", ControlKind::Button, 1080, 2280, 1215, 375, "確定")};
  d.focusOrder = {"Command1"};
  return d;
}

WindowDesign IntroDesign() {
  WindowDesign d = FixedDialog("leftForm", "基礎操作說明", 7500, 6000);
  // The browser is 330 twips wider than the panel: its right edge lies outside.
  d.controls = {Control("WebBrowser1", ControlKind::Browser, 0, 0, 7830, 5670),
                Control("Check1", ControlKind::CheckBox, 0, 5700, 3975, 255, "以後不要再顯示這個說明")};
  d.focusOrder = {"WebBrowser1", "Check1"};
  return d;
}

WindowDesign HelpDesign() {
  WindowDesign d = FixedDialog("helpForm", "說明", 5490, 6555);
  ControlDesign heading = Control("Label1", ControlKind::Label, 1320, 120, 2655, 375, "電子書功能內容");
  heading.font = FontDesign{"", 14.25, true, std::nullopt};
  d.controls = {heading, Control("helpContent", ControlKind::Browser, 120, 480, 5250, 5895)};
  return d;
}

std::vector<DesignAsShown> ShellDesigns() {
  return {{MainWindowDesign(), {}},
          {AboutDesign(""), {{"Label1", CreditText()}}},
          {IntroDesign(), {}},
          {HelpDesign(), {}}};
}

void Program::MakeShellWindows() {
  form2_ = std::make_unique<Window>(system_.desktop, AboutDesign(ProgramPath({"about.gif"})));
  form2_->OnLoad([this] { form2_->control("Label1").SetCaption(CreditText()); });
  form2_->OnClick("Command1", [this] { form2_->Hide(); });

  helpForm_ = std::make_unique<Window>(system_.desktop, HelpDesign());
  helpForm_->OnLoad(
      [this] { helpForm_->control("helpContent").Browser().Navigate(ProgramPath({"Help.html"})); });

  leftForm_ = std::make_unique<Window>(system_.desktop, IntroDesign());
  leftForm_->OnLoad([this] {
    leftForm_->control("WebBrowser1").Browser().Navigate(ProgramPath({"introduction_open.html"}));
  });
  leftForm_->OnClick("Check1", [this] {
    // The bitwise complement of the box's state as a 16-bit integer:
    // "-1" when it has just been cleared, "-2" when it has just been set.
    auto state = static_cast<std::int16_t>(leftForm_->control("Check1").Value());
    WriteShowHelp(system_.registry, std::to_string(static_cast<std::int16_t>(~state)));
  });
}

void Program::ShowIntro() { leftForm_->ShowModal(form1_.get()); }

void Program::ShowHelp() { helpForm_->Show(form1_.get()); }

}  // namespace shell
