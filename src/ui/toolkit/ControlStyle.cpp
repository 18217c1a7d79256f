#include "ui/toolkit/ControlStyle.h"

#include <QColor>
#include <QFileInfo>

#include "ui/toolkit/ResourceProvider.h"
#include "ui/toolkit/UiDefinition.h"

namespace keyloom::ui {

QString ControlStyleSheet(const UiDefinition& definition, const ResourceProvider& resources) {
  auto colour = [&](const char* name, const char* fallback) {
    const QColor c = definition.ColorOr(name, fallback);
    return c.name(c.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb);
  };
  QString sheet = QStringLiteral(R"(
QComboBox { background: %bg; color: %text; border: 1px solid %border; border-radius: 4px; padding: 2px 10px; }
QComboBox:hover, QComboBox:focus { border-color: %accent; }
QComboBox:disabled { color: %disabled; }
QComboBox::drop-down { border: none; width: 22px; }
QComboBox::down-arrow { image: url(%arrow); width: 12px; height: 8px; margin-right: 8px; }
QComboBox QAbstractItemView { background: %menu; color: %text; border: 1px solid %border; selection-background-color: %accent; selection-color: %accenttext; outline: 0; }
QSlider::groove:horizontal { height: 4px; background: %border; border-radius: 2px; }
QSlider::sub-page:horizontal { background: %accent; border-radius: 2px; }
QSlider::handle:horizontal { background: %text; width: 14px; height: 14px; margin: -6px 0; border-radius: 7px; }
QSlider::handle:horizontal:hover, QSlider::handle:horizontal:focus { background: %accent; }
QSlider::sub-page:horizontal:disabled { background: %border; }
QCheckBox, QRadioButton { color: %text; spacing: 8px; background: transparent; }
QCheckBox:disabled, QRadioButton:disabled { color: %disabled; }
QCheckBox::indicator, QRadioButton::indicator { width: 14px; height: 14px; border: 1px solid %border; background: %bg; }
QCheckBox::indicator { border-radius: 3px; }
QRadioButton::indicator { border-radius: 8px; }
QCheckBox::indicator:hover, QRadioButton::indicator:hover { border-color: %accent; }
QCheckBox::indicator:checked { background: %accent; border-color: %accent; image: url(%check); }
QRadioButton::indicator:checked { background: qradialgradient(cx:0.5, cy:0.5, radius:0.5, fx:0.5, fy:0.5, stop:0 %accent, stop:0.45 %accent, stop:0.55 %bg, stop:1 %bg); border-color: %accent; }
QLineEdit { background: %bg; color: %text; border: 1px solid %border; border-radius: 4px; padding: 2px 6px; selection-background-color: %accent; selection-color: %accenttext; }
QLineEdit:focus { border-color: %accent; }
QLineEdit:disabled { color: %disabled; }
QTabBar::tab { background: transparent; color: %disabled; padding: 6px 14px; border: none; border-bottom: 2px solid transparent; }
QTabBar::tab:hover { color: %text; }
QTabBar::tab:selected { color: %text; border-bottom: 2px solid %accent; }
QMenu { background: %menu; color: %text; border: 1px solid %border; padding: 4px; }
QMenu::item { padding: 6px 24px 6px 14px; border-radius: 3px; }
QMenu::item:selected { background: %accent; color: %accenttext; }
QMenu::item:disabled { color: %disabled; }
QMenu::separator { height: 1px; background: %border; margin: 4px 6px; }
QToolTip { background: %menu; color: %text; border: 1px solid %border; padding: 3px; }
)");
  // Longer names first, so that %accent does not eat %accenttext.
  const std::pair<const char*, QString> colours[] = {
      {"%accenttext", colour("accent_text", "#111318")},
      {"%disabled", colour("disabled_text", "#5E6573")},
      {"%border", colour("control_border", "#3A4150")},
      {"%accent", colour("accent", "#5FE3C4")},
      {"%text", colour("control_text", "#E6E8EE")},
      {"%menu", colour("menu_bg", "#1A1D24")},
      {"%bg", colour("control_bg", "#2A2F3A")},
  };
  for (const auto& [key, value] : colours) sheet.replace(QLatin1String(key), value);
  // A picture the folder lacks leaves its url empty, which Qt ignores.
  auto picture = [&](const char* name) {
    const QString path = resources.PathOf(QLatin1String(name));
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
  };
  sheet.replace(QLatin1String("%arrow"), picture("img:arrow_down"));
  sheet.replace(QLatin1String("%check"), picture("img:check_mark"));
  return sheet;
}

}  // namespace keyloom::ui
