// The main of every test program: after each case the program's shared state (working
// folder, code page, clock, language, status line) is back to how a start finds it, so no
// case sees what another installed.
#include <gtest/gtest.h>

#include "base/process.h"

namespace {

class ResetProcessAfterEachCase final : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo&) override { qp::ResetProcess(); }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new ResetProcessAfterEachCase);
  return RUN_ALL_TESTS();
}
