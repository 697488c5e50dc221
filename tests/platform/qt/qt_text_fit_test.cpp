// Every caption of every window fits its control, in the interface font:
// it lies within the contents rectangle the widget style gives the control.
#include <QCheckBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

#include "app/window_designs.h"
#include "components/window.h"
#include "platform/qt/qt_desktop.h"
#include "tests/support/qt_app.h"
#include "tests/support/support.h"

using namespace components;

namespace {

// Where a caption does not fit: "window.control: why".
std::vector<std::string> Misfits(QWidget* top, const std::string& windowName) {
  std::vector<std::string> out;
  auto report = [&](QWidget* w, const QRect& room, const QRect& text) {
    if (room.contains(text)) return;
    out.push_back(windowName + "." + w->objectName().toStdString() + ": text " +
                  std::to_string(text.width()) + " x " + std::to_string(text.height()) + " in " +
                  std::to_string(room.width()) + " x " + std::to_string(room.height()));
  };
  for (auto* b : top->findChildren<QPushButton*>()) {
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    QRect room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b);
    QRect text = b->style()->itemTextRect(b->fontMetrics(), room, Qt::AlignCenter | Qt::TextShowMnemonic,
                                          true, b->text());
    report(b, room, text);
  }
  for (auto* c : top->findChildren<QCheckBox*>()) {
    QStyleOptionButton opt;
    opt.initFrom(c);
    opt.text = c->text();
    QRect room = c->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, c);
    QRect text =
        c->style()->itemTextRect(c->fontMetrics(), room, Qt::AlignLeft | Qt::AlignVCenter, true, c->text());
    report(c, room, text);
  }
  for (auto* l : top->findChildren<QLabel*>()) {
    if (l->text().isEmpty()) continue;
    QRect room = l->contentsRect();
    int flags = static_cast<int>(l->alignment()) | (l->wordWrap() ? Qt::TextWordWrap : 0);
    QRect text = l->fontMetrics().boundingRect(room, flags, l->text());
    report(l, room, text);
  }
  return out;
}

}  // namespace

TEST(TextFit, EveryCaptionOfEveryWindowFitsItsControlInTheInterfaceFont) {
  testing_support::App();
  qtdesk::Desktop desktop;
  ASSERT_TRUE(QFontDatabase::hasFamily(qtdesk::Desktop::kInterfaceFont)) << "the setup installs it";
  std::vector<std::string> misfits;
  auto all = app::AllWindowDesigns();
  ASSERT_GE(all.size(), 4u);
  for (const auto& shown : all) {
    Window window(desktop, shown.design);
    window.Load();
    for (const auto& [control, caption] : shown.captions) window.control(control).SetCaption(caption);
    window.Show();
    QCoreApplication::processEvents();
    auto* top = reinterpret_cast<QWidget*>(window.Handle());
    EXPECT_EQ(QFontInfo(top->font()).family().toStdString(), qtdesk::Desktop::kInterfaceFont);
    auto found = Misfits(top, shown.design.name);
    misfits.insert(misfits.end(), found.begin(), found.end());
  }
  EXPECT_TRUE(misfits.empty()) << [&] {
    std::string s;
    for (const auto& m : misfits) s += m + "\n";
    return s;
  }();
}

TEST(TextFit, TheCheckFindsACaptionTooLongForItsButton) {
  testing_support::App();
  qtdesk::Desktop desktop;
  WindowDesign d{.name = "tight", .caption = "t", .clientWidth = 3000, .clientHeight = 2000};
  d.controls.push_back({.name = "Command1",
                        .kind = ControlKind::Button,
                        .width = 600,
                        .height = 375,
                        .caption = "這個按鈕的文字太長了"});
  Window window(desktop, d);
  window.Show();
  EXPECT_EQ(Misfits(reinterpret_cast<QWidget*>(window.Handle()), "tight").size(), 1u);
}
