#include "ui/toolkit/SWindow.h"

#include <QPainter>
#include <QQueue>
#include <cctype>

#include "ui/toolkit/ImageSkin.h"
#include "ui/toolkit/LayoutLoader.h"
#include "ui/toolkit/SHostWnd.h"
#include "ui/toolkit/UiApp.h"

namespace keyloom::ui {

bool ClassNameEquals(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

SWindow::SWindow(UiApp& app, QWidget* parent) : QWidget(parent), app_(app) {}

bool SWindow::SetAttribute(const QString& name, const QString& value) {
  const UiDefinition& def = app_.definition();
  if (name == QLatin1String("name")) {
    name_ = value;
    if (id_ == 0) id_ = app_.names().IdOf(value);
  } else if (name == QLatin1String("id")) {
    id_ = value.toInt();
  } else if (name == QLatin1String("pos") || name == QLatin1String("size")) {
    const QStringList parts = value.split(',');
    int* target = name == QLatin1String("pos") ? pos_ : pos_ + 2;
    target[0] = parts.value(0).trimmed().toInt();
    target[1] = parts.value(1).trimmed().toInt();
  } else if (name == QLatin1String("text")) {
    SetWindowText(def.ResolveString(value));
  } else if (name == QLatin1String("colorbkgnd")) {
    background_ = def.ResolveColor(value);
  } else if (name == QLatin1String("colorborder")) {
    border_ = def.ResolveColor(value);
  } else if (name == QLatin1String("radius")) {
    radius_ = std::max(0, value.toInt());
  } else if (name == QLatin1String("colortext")) {
    textColor_ = def.ResolveColor(value);
  } else if (name == QLatin1String("skin")) {
    skin_ = def.Skin(value);
  } else if (name == QLatin1String("align")) {
    const Qt::Alignment horizontal = value == QLatin1String("center") ? Qt::AlignHCenter
                                     : value == QLatin1String("right") ? Qt::AlignRight
                                                                       : Qt::AlignLeft;
    align_ = horizontal | (align_ & Qt::AlignVertical_Mask);
  } else if (name == QLatin1String("valign")) {
    const Qt::Alignment vertical = value == QLatin1String("top") ? Qt::AlignTop
                                   : value == QLatin1String("bottom") ? Qt::AlignBottom
                                                                      : Qt::AlignVCenter;
    align_ = (align_ & Qt::AlignHorizontal_Mask) | vertical;
  } else if (name == QLatin1String("fontsize")) {
    QFont f = font();
    f.setPixelSize(value.toInt());
    setFont(f);
  } else if (name == QLatin1String("bold")) {
    QFont f = font();
    f.setBold(value == QLatin1String("1"));
    setFont(f);
  } else if (name == QLatin1String("tip")) {
    tip_ = def.ResolveString(value);
    setToolTip(app_.translator().Translate(tip_));
  } else if (name == QLatin1String("multilines")) {
    textFlags_ = value == QLatin1String("1") ? Qt::TextWordWrap : 0;
  } else if (name == QLatin1String("visible")) {
    setVisible(value != QLatin1String("0"));
  } else {
    return false;
  }
  return true;
}

void SWindow::SetWindowText(const QString& text) {
  text_ = text;
  update();
}

void SWindow::OnLanguageChanged() {
  if (!tip_.isEmpty()) setToolTip(app_.translator().Translate(tip_));
  update();
}

QString SWindow::GetDisplayText() const { return app_.translator().Translate(text_); }

void SWindow::CreateChildren(const pugi::xml_node& element, LayoutLoader& loader) {
  loader.CreateChildren(element, this);
}

SWindow* SWindow::FindChild(const std::function<bool(const SWindow*)>& match, int levels) const {
  // Depth counts widget generations; the Qt objects between two widgets (a
  // scroll area's viewport, a wrapped control) are walked at the same depth.
  QQueue<std::pair<const QObject*, int>> queue;
  queue.enqueue({this, 0});
  while (!queue.isEmpty()) {
    const auto [object, depth] = queue.dequeue();
    if (levels >= 0 && depth >= levels) continue;
    for (QObject* child : object->children()) {
      if (auto* window = qobject_cast<SWindow*>(child)) {
        if (match(window)) return window;
        queue.enqueue({window, depth + 1});
      } else if (child->isWidgetType()) {
        queue.enqueue({child, depth});
      }
    }
  }
  return nullptr;
}

SWindow* SWindow::FindChildByName(const QString& name, const char* className, int levels) const {
  SWindow* found = FindChild([&](const SWindow* w) { return w->name_ == name; }, levels);
  if (found == nullptr || !found->IsClass(className)) {
    ToolkitLog("FindChildByName2 Failed, no window of class [%s] with name of [%s] was found within [%d] levels",
               className, name.toUtf8().constData(), levels);
    return nullptr;
  }
  return found;
}

SWindow* SWindow::FindChildByID(int id, const char* className, int levels) const {
  SWindow* found = FindChild([&](const SWindow* w) { return w->id_ == id; }, levels);
  if (found == nullptr || !found->IsClass(className)) {
    ToolkitLog("FindChildByID2 Failed, no window of class [%s] with id of [%d] was found within [%d] levels",
               className, id, levels);
    return nullptr;
  }
  return found;
}

int SWindow::Subscribe(EventKind kind, EventHandler handler) {
  const int token = nextToken_++;
  subscriptions_.push_back({token, kind, std::move(handler)});
  return token;
}

void SWindow::Unsubscribe(int token) {
  std::erase_if(subscriptions_, [token](const Subscription& s) { return s.token == token; });
}

void SWindow::FireEvent(EventArgs& event) {
  // A handler may unsubscribe (itself or others) while it runs: walk a copy.
  const std::vector<Subscription> subscriptions = subscriptions_;
  for (const Subscription& s : subscriptions) {
    if (s.kind == event.kind && s.handler(event)) return;
  }
  for (QWidget* w = parentWidget(); w != nullptr; w = w->parentWidget()) {
    if (auto* enclosing = qobject_cast<SWindow*>(w); enclosing != nullptr && enclosing->OnChildEvent(event)) return;
  }
  if (SHostWnd* host = GetHostWnd()) host->OnEvent(event);
}

void SWindow::FireEvent(EventKind kind, int value) {
  EventArgs event;
  event.kind = kind;
  event.sender = this;
  event.senderName = name_;
  event.senderId = id_;
  event.value = value;
  FireEvent(event);
}

SHostWnd* SWindow::GetHostWnd() const { return qobject_cast<SHostWnd*>(window()); }

void SWindow::Relayout() {
  const QWidget* parent = parentWidget();
  if (parent == nullptr) return;
  auto axis = [](int origin, int extent, int parentExtent) {
    const int start = origin < 0 ? parentExtent + origin : origin;
    const int length = extent > 0 ? extent : parentExtent - start + extent;
    return std::pair{start, std::max(0, length)};
  };
  const auto [x, w] = axis(pos_[0], pos_[2], parent->width());
  const auto [y, h] = axis(pos_[1], pos_[3], parent->height());
  setGeometry(x, y, w, h);
  // A hidden widget gets its resize event only when shown; place the
  // children now so the tree is right from the start.
  LayoutChildren();
}

void SWindow::LayoutChildren() {
  for (QObject* child : children()) {
    if (auto* window = qobject_cast<SWindow*>(child)) window->Relayout();
  }
}

void SWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayoutChildren();
}

void SWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintBackground(painter);
  DrawText(painter, rect());
}

void SWindow::PaintBackground(QPainter& painter) const {
  if (radius_ > 0 || border_.isValid()) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(border_.isValid() ? QPen(border_, 1) : Qt::NoPen);
    painter.setBrush(background_.isValid() ? QBrush(background_) : Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius_, radius_);
    painter.restore();
  } else if (background_.isValid()) {
    painter.fillRect(rect(), background_);
  }
  if (skin_) skin_->Draw(painter, rect(), DrawState());
}

void SWindow::DrawText(QPainter& painter, const QRect& rect) const {
  if (text_.isEmpty()) return;
  painter.setPen(textColor_.isValid() ? textColor_ : palette().color(QPalette::WindowText));
  painter.setFont(font());
  painter.drawText(rect, static_cast<int>(align_) | textFlags_, GetDisplayText());
}

}  // namespace keyloom::ui
