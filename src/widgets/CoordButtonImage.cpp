#include "widgets/CoordButtonImage.h"

#include <QFile>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <pugixml.hpp>
#include <string>

#include "config/CNumber.h"
#include "config/XmlLookup.h"
#include "ui/toolkit/UiApp.h"

namespace keyloom::widgets {
namespace {

std::string WithoutChars(std::string text, std::string_view unwanted) {
  std::erase_if(text, [unwanted](char c) { return unwanted.find(c) != std::string_view::npos; });
  return text;
}

int32_t ReadInt(const pugi::xml_node& node, std::string_view name, int32_t missing) {
  const pugi::xml_attribute a = AttributeNoCase(node, name);
  return a ? CLong32(a.value(), 10) : missing;
}

// Hex digits, written as "#RRGGBB" or with blanks between the pairs; a value
// that does not start with a hex digit is no colour at all.
uint32_t ReadColour(const pugi::xml_node& node) {
  const std::string text = WithoutChars(AttributeText(node, "color"), " #");
  if (text.empty() || !std::isxdigit(static_cast<unsigned char>(text.front()))) return CoordButtonImage::kDefaultColour;
  return CULong32(text, 16);
}

// "left,top,width,height", read like sscanf("%d,%d,%d,%d"): reading stops at
// the first number that is not there, and what was not read stays 0.
void ReadRect(const pugi::xml_node& node, CoordButton& button) {
  const std::string text = WithoutChars(AttributeText(node, "rect"), " ");
  int32_t values[4] = {0, 0, 0, 0};
  size_t pos = 0;
  for (int i = 0; i < 4; ++i) {
    size_t end = pos;
    while (end < text.size() && std::isspace(static_cast<unsigned char>(text[end]))) ++end;
    if (end < text.size() && (text[end] == '+' || text[end] == '-')) ++end;
    const size_t digits = end;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end]))) ++end;
    if (end == digits) break;
    values[i] = CLong32(std::string_view(text).substr(pos, end - pos), 10);
    if (end >= text.size() || text[end] != ',') break;
    pos = end + 1;
  }
  // Widened so that huge values cannot overflow; such keys just cannot be hit.
  auto clamp = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
  button.left = values[0];
  button.top = values[1];
  button.right = clamp(int64_t{values[0]} + values[2]);
  button.bottom = clamp(int64_t{values[1]} + values[3]);
}

CoordButton ReadButton(const pugi::xml_node& node) {
  CoordButton button;
  button.id = ReadInt(node, "id", -1);
  button.va = ReadInt(node, "va", -1);
  button.name = Widen(AttributeText(node, "name"));
  ReadRect(node, button);
  button.colour = ReadColour(node);
  return button;
}

QColor ToQColor(uint32_t colour) { return QColor::fromRgb(static_cast<QRgb>(colour & 0xFFFFFF)); }

// The source area of a key in a picture, in the picture's own pixels: a 2x
// picture holds each logical pixel as 2 x 2 of its own.
QRectF SourceArea(const QRect& area, const QPixmap& picture) {
  const qreal ratio = picture.devicePixelRatio();
  return QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio, area.height() * ratio);
}

}  // namespace

CoordButtonImage::CoordButtonImage(ui::UiApp& app, QWidget* parent) : SWindow(app, parent) {
  // Hover follows the mouse without a button held.
  setMouseTracking(true);
}

bool CoordButtonImage::SetAttribute(const QString& name, const QString& value) {
  if (name == QLatin1String("bg")) return LoadPicture(value, background_);
  if (name == QLatin1String("chking")) return SetLazyPicture(value, hover_);
  if (name == QLatin1String("chked")) return SetLazyPicture(value, checked_);
  if (name == QLatin1String("crdxml")) {
    coordinateFile_ = app().definition().ResolveString(value);
    return true;
  }
  if (name == QLatin1String("type")) {
    const std::string text = value.trimmed().toStdString();
    const bool hex = text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    type_ = hex ? static_cast<int32_t>(CULong32(text, 16)) : CLong32(text, 10);
    return true;
  }
  return SWindow::SetAttribute(name, value);
}

bool CoordButtonImage::LoadPicture(const QString& reference, QPixmap& target) {
  QPixmap picture = app().Image(reference);
  if (picture.isNull()) return false;
  target = picture;
  update();
  return true;
}

bool CoordButtonImage::SetLazyPicture(const QString& reference, LazyPicture& target) {
  // A picture that cannot be read is refused now, and the previous one stays.
  if (!app().CanLoadImage(reference)) return false;
  target = LazyPicture{reference, {}, false};
  update();
  return true;
}

const QPixmap& CoordButtonImage::LazyPicture::Get(const ui::UiApp& app) const {
  if (!decoded && !reference.isEmpty()) {
    pixmap = app.Image(reference);
    decoded = true;
  }
  return pixmap;
}

void CoordButtonImage::OnLayoutLoaded() {
  // The key list is read once, after the layout gave every attribute.
  if (!coordinateFile_.isEmpty()) LoadCoordinates(CoordinateFilePath());
  SWindow::OnLayoutLoaded();
}

QString CoordButtonImage::CoordinateFilePath() const {
  // Layouts may write the file the Windows way; here every backslash is a
  // separator, so "\kb\keys.xml", "/kb/keys.xml" and "kb\keys.xml" are one file.
  QString relative = coordinateFile_;
  relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
  QString folder = app().programFolder();
  while (folder.endsWith(QLatin1Char('/'))) folder.chop(1);
  if (!relative.startsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return folder + relative;
}

bool CoordButtonImage::LoadCoordinates(const QString& path) {
  pugi::xml_document doc;
  if (!doc.load_file(QFile::encodeName(path).constData())) return false;
  const pugi::xml_node root = doc.document_element();
  if (!root || !NameEqualsNoCase(root.name(), "positions")) return false;
  for (const pugi::xml_node& child : root.children()) buttons_.push_back(ReadButton(child));
  update();
  return true;
}

bool CoordButtonImage::ButtonName(int32_t id, std::wstring* name) const {
  for (const CoordButton& button : buttons_) {
    if (button.id == id) {
      *name = button.name;
      return true;
    }
  }
  return false;
}

void CoordButtonImage::SetButtonTip(int32_t id, const std::wstring& tip) {
  for (CoordButton& button : buttons_) {
    if (id != kAllButtons && button.id != id) continue;
    button.tip = tip;
    if (id != kAllButtons) break;
  }
  update();
}

void CoordButtonImage::SetButtonChecked(int32_t id, int32_t checked) {
  for (CoordButton& button : buttons_) {
    if (id != kAllButtons && button.id != id) continue;
    button.checked = checked;
    if (id != kAllButtons) break;
  }
  update();
}

void CoordButtonImage::ToggleButtonChecked(int32_t id) {
  for (CoordButton& button : buttons_) {
    if (id != kAllButtons && button.id != id) continue;
    button.checked = button.checked == 0 ? 1 : 0;
    if (id != kAllButtons) break;
  }
  update();
}

void CoordButtonImage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect r = rect();
  for (const CoordButton& button : buttons_) {
    if (!button.Area().isNull()) painter.fillRect(button.Area().translated(r.topLeft()), ToQColor(button.colour));
  }
  if (!background_.isNull()) painter.drawPixmap(QRectF(r), background_, QRectF(background_.rect()));
  // Hover and checked keys are copied one to one, so they line up with the
  // background only when all pictures have the widget's size.
  auto copyKeys = [&](const LazyPicture& lazy, int32_t CoordButton::*flag) {
    const bool any = std::any_of(buttons_.begin(), buttons_.end(), [flag](const CoordButton& b) { return b.*flag != 0; });
    if (!any) return;
    const QPixmap& picture = lazy.Get(app());
    if (picture.isNull()) return;
    for (const CoordButton& button : buttons_) {
      const QRect area = button.Area();
      if (button.*flag == 0 || area.isNull()) continue;
      painter.drawPixmap(QRectF(area.translated(r.topLeft())), picture, SourceArea(area, picture));
    }
  };
  copyKeys(hover_, &CoordButton::hover);
  copyKeys(checked_, &CoordButton::checked);
}

void CoordButtonImage::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  const std::wstring* tip = nullptr;
  for (CoordButton& button : buttons_) {
    button.hover = button.Contains(p) ? 1 : 0;
    if (button.hover != 0) tip = button.tip.empty() ? &button.name : &button.tip;
  }
  setToolTip(tip != nullptr ? QString::fromStdWString(*tip) : QString());
  update();
}

void CoordButtonImage::leaveEvent(QEvent* event) {
  for (CoordButton& button : buttons_) button.hover = 0;
  setToolTip(QString());
  update();
  SWindow::leaveEvent(event);
}

int CoordButtonImage::FirstButtonAt(const QPoint& p) const {
  for (size_t i = 0; i < buttons_.size(); ++i) {
    if (buttons_[i].Contains(p)) return static_cast<int>(i);
  }
  return -1;
}

int CoordButtonImage::NotifyListener(int index, int direction, const QMouseEvent* event, const QPoint& p) {
  // The listener gets copies: it may run a modal loop before it returns.
  const CoordButton button = buttons_[index];
  const uint32_t flags = static_cast<uint32_t>(event->buttons().toInt()) |
                         static_cast<uint32_t>(event->modifiers().toInt());
  return listener_->OnCoordButtonClick(button.id, button.name, direction, flags, p);
}

void CoordButtonImage::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return SWindow::mousePressEvent(event);
  const QPoint p = event->position().toPoint();
  const int index = FirstButtonAt(p);
  if (index < 0) return;
  const int32_t id = buttons_[index].id;
  const bool handled = listener_ != nullptr && NotifyListener(index, 0, event, p) != 0;
  if (!handled) {
    if (type_ == 1) {
      for (CoordButton& b : buttons_) b.checked = 0;
      ToggleButtonChecked(id);
    } else if (type_ == 2) {
      ToggleButtonChecked(id);
    }
  }
  buttons_[index].pressed = 1;
  update();
}

void CoordButtonImage::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return SWindow::mouseReleaseEvent(event);
  const QPoint p = event->position().toPoint();
  const int index = FirstButtonAt(p);
  if (index < 0) return;
  if (buttons_[index].pressed != 0 && listener_ != nullptr) NotifyListener(index, 1, event, p);
  buttons_[index].pressed = 0;
  update();
}

}  // namespace keyloom::widgets
