// The desktop's message boxes, in the book's language.
#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <algorithm>
#include <utility>
#include <vector>

#include "platform/qt/conversions.h"
#include "platform/qt/qt_desktop.h"

namespace qtdesk {

using namespace components;

void Desktop::UseTranslations() {
  // Standard buttons and Qt's own menus in Traditional Chinese: 是(Y), 否(N), 確定.
  static QTranslator* translator = nullptr;
  if (translator) return;
  translator = new QTranslator(qApp);
  if (translator->load("qtbase_zh_TW", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
}

Answer Desktop::MsgBox(const MessageBox& box) {
  UseTranslations();
  QMessageBox m;
  m.setTextFormat(Qt::PlainText);
  m.setText(ToQString(box.text));
  m.setWindowTitle(ToQString(box.caption.empty() ? AppTitle() : box.caption));
  switch (box.icon) {
    case Icon::None: m.setIcon(QMessageBox::NoIcon); break;
    case Icon::Critical: m.setIcon(QMessageBox::Critical); break;
    case Icon::Question: m.setIcon(QMessageBox::Question); break;
    case Icon::Exclamation: m.setIcon(QMessageBox::Warning); break;
    case Icon::Information: m.setIcon(QMessageBox::Information); break;
  }
  std::vector<std::pair<QMessageBox::StandardButton, Answer>> buttons;
  switch (box.buttons) {
    case Buttons::OK: buttons = {{QMessageBox::Ok, Answer::OK}}; break;
    case Buttons::OKCancel:
      buttons = {{QMessageBox::Ok, Answer::OK}, {QMessageBox::Cancel, Answer::Cancel}};
      break;
    case Buttons::YesNo: buttons = {{QMessageBox::Yes, Answer::Yes}, {QMessageBox::No, Answer::No}}; break;
    case Buttons::YesNoCancel:
      buttons = {{QMessageBox::Yes, Answer::Yes},
                 {QMessageBox::No, Answer::No},
                 {QMessageBox::Cancel, Answer::Cancel}};
      break;
    case Buttons::RetryCancel:
      buttons = {{QMessageBox::Retry, Answer::Retry}, {QMessageBox::Cancel, Answer::Cancel}};
      break;
  }
  QMessageBox::StandardButtons set;
  for (auto& [b, a] : buttons) set |= b;
  m.setStandardButtons(set);
  size_t def = static_cast<size_t>(std::clamp(box.defaultButton, 1, static_cast<int>(buttons.size())) - 1);
  m.setDefaultButton(buttons[def].first);
  m.exec();
  QAbstractButton* clicked = m.clickedButton();
  for (auto& [b, a] : buttons)
    if (m.button(b) == clicked) return a;
  // Closed without a button: the escape answer, as the classic box gives.
  if (box.buttons == Buttons::YesNo) return Answer::No;
  return buttons.back().second;
}

}  // namespace qtdesk
