#include <gtest/gtest.h>

#include "support/PrivateRuntimeFolder.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const keyloom::test::PrivateRuntimeFolder runtime;
  return RUN_ALL_TESTS();
}
