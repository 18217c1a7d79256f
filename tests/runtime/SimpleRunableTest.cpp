#include "runtime/SimpleRunable.h"

#include <gtest/gtest.h>

namespace keyloom {
namespace {

struct Target {
  int Sum(int32_t a1, int32_t a2, const uint8_t* a3, uint32_t a4) {
    int sum = a1 + a2;
    for (uint32_t i = 0; i < a4; ++i) sum += a3[i];
    return sum;
  }
};

TEST(SimpleRunable, CloneCopiesTheBufferAndTheTiming) {
  Target target;
  SimpleRunable<Target> original(&target, &Target::Sum, 2000, 3, true, 1, 2, {10, 20});
  std::unique_ptr<BaseRunable> copy = original.Clone();
  original.buffer[0] = 99;

  EXPECT_EQ(copy->buffer, (std::vector<uint8_t>{10, 20}));
  EXPECT_EQ(copy->interval, 2000u);
  EXPECT_EQ(copy->repeat, 3);
  EXPECT_TRUE(copy->exclusive);
  EXPECT_EQ(copy->Run(copy->a1, copy->a2, copy->buffer.data(), 2), 33);
}

TEST(SimpleRunable, IsInvalidAndRunsNothing_WhenObjectOrMemberIsMissing) {
  Target target;
  SimpleRunable<Target> noObject(nullptr, &Target::Sum);
  SimpleRunable<Target> noMember(&target, nullptr);
  EXPECT_FALSE(noObject.IsValid());
  EXPECT_FALSE(noMember.IsValid());
  EXPECT_EQ(noObject.Run(1, 2, nullptr, 0), 0);
  EXPECT_TRUE(SimpleRunable<Target>(&target, &Target::Sum).IsValid());
}

}  // namespace
}  // namespace keyloom
