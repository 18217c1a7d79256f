#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <memory>
#include <string>

#include "support/TempDir.h"
#include "ui/toolkit/UiApp.h"
#include "widgets/CoordButtonImage.h"

namespace keyloom::widgets::test {

// A program folder in a temporary folder with a small resource folder:
// pictures "main:kb_bg", "main:kb_hover", "main:kb_checked" (40 x 20, with
// 80 x 40 @2x variants) and the string "@string/kbfile" naming "kb/keys.xml".
class KeyboardPictureFixture : public testing::Test {
 protected:
  KeyboardPictureFixture();

  // The background: opaque grey, but transparent from x = 30 on.
  static QImage Background();
  // The hover picture: green left of x = 20, blue from there on.
  static QImage Hover();
  // The checked picture: red.
  static QImage Checked();
  // 2x pictures: every device pixel a colour of its own.
  static QImage Pattern2x(int seed);

  // Writes a coordinate file into the program folder and returns its name there.
  std::string WriteKeys(const std::string& name, const std::string& xml) const;
  // A widget the way the layout loader makes one: attributes, then creation.
  std::unique_ptr<CoordButtonImage> Make(const std::vector<std::pair<QString, QString>>& attributes);
  // A shown widget of 40 x 20 with the pictures and the keys of `keysXml`.
  std::unique_ptr<CoordButtonImage> MakeShown(const std::string& keysXml, const QString& type = "0");

  keyloom::test::TempDir dir_;
  ui::UiApp app_;
};

}  // namespace keyloom::widgets::test
