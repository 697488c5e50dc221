// The About window: the maker's credit text under the book's picture.
#include "shell/program.h"

namespace shell {

using namespace components;

namespace {

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
  ControlDesign image = ControlAt("Image1", ControlKind::Image, 480, 240, 2055, 495);
  image.picture = picture;
  image.stretch = true;
  // The five lines need 75 pixels in the interface font: 1125 twips, not
  // the 975 of the classic system font.
  d.controls = {image, ControlAt("Label1", ControlKind::Label, 240, 960, 2895, 1125),
                ControlAt("Command1", ControlKind::Button, 1080, 2280, 1215, 375, "確定")};
  d.focusOrder = {"Command1"};
  return d;
}

void Program::MakeAboutWindow() {
  about_ = std::make_unique<Window>(system_.desktop, AboutDesign(ProgramPath({"about.gif"})));
  about_->OnLoad([this] { about_->control("Label1").SetCaption(CreditText()); });
  about_->OnClick("Command1", [this] { about_->Hide(); });
}

}  // namespace shell
