// Entry point of every guest test binary: a QCoreApplication for the
// backends that deliver on the UI thread's event loop, and one result marker
// per test case on the console, which the host side reads back from the
// serial log (QEMU's own exit status says nothing about the tests).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdio>

namespace {

class MarkerPrinter : public testing::EmptyTestEventListener {
  void OnTestEnd(const testing::TestInfo& info) override {
    const bool failed = info.result()->Failed();
    std::printf("KEYLOOM-CASE %s %s.%s\n", failed ? "FAIL" : "PASS", info.test_suite_name(),
                info.name());
    std::fflush(stdout);
  }
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  QCoreApplication app(argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new MarkerPrinter);
  return RUN_ALL_TESTS();
}
