#include "platform/qt/player_control.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/qt/control_geometry.h"
#include "platform/qt/conversions.h"

namespace qtdesk {

using namespace components;

Player::Player(components::Desktop& desktop, PlayerServices services, QWidget* parent,
               const ControlDesign& design)
    : book_(std::make_unique<player::BookPlayer>(desktop, services.storage)),
      widget_(new PlayerWidget(parent, *book_)),
      width_(design.width),
      height_(design.height) {
  Place(widget_, design);
  widget_->cache().UseStore(services.pictures);
  if (services.readAhead) {
    book_->UseReadAhead(services.readAhead);
    widget_->ExpectCover(*services.readAhead);
  }
  book_->OnChanged([this](player::Changes changes) {
    if (widget_) widget_->PlayerChanged(changes);
  });
  book_->OnOpenUrl(
      [](const std::string& url) { QDesktopServices::openUrl(QUrl(QString::fromStdString(url))); });
  // The movie's commands reach the host through this control's event.
  book_->OnFSCommand([this](const std::string& c, const std::string& a) { RaiseFSCommand(c, a); });
}

Player::~Player() {
  book_->OnChanged(nullptr);
  book_->OnFSCommand(nullptr);
  // The widget may be inside one of its own events now (the right click
  // that closed the book): it goes later, and the book it draws with it.
  if (widget_) {
    widget_->hide();
    widget_->Adopt(std::move(book_));
    widget_->deleteLater();
  }
}

void Player::Movie(const std::string& path) { book_->Movie(path); }
void Player::SetVariable(const std::string& n, const std::string& v) { book_->SetVariable(n, v); }
std::string Player::GetVariable(const std::string& n) { return book_->GetVariable(n); }
void Player::TCallLabel(const std::string& t, const std::string& l) { book_->TCallLabel(t, l); }
std::string Player::TGetProperty(const std::string& t, int i) { return book_->TGetProperty(t, i); }
void Player::Width(Twips width) {
  width_ = width;
  book_->Width(width);
  if (widget_) widget_->resize(Px(width_), Px(height_));
}
void Player::Height(Twips height) {
  height_ = height;
  book_->Height(height);
  if (widget_) widget_->resize(Px(width_), Px(height_));
}

}  // namespace qtdesk
