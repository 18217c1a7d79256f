#include <QApplication>
#include <gtest/gtest.h>

#include "support/PrivateRuntimeFolder.h"

int main(int argc, char** argv) {
  // Tests draw off screen unless the caller chose a platform.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // Before Qt, which reads the runtime folder once.
  const keyloom::test::PrivateRuntimeFolder runtime;
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
