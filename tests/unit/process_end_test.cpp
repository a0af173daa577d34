#include "system/process_end.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <future>
#include <iterator>
#include <string>
#include <thread>

namespace vendralith {
namespace {

TEST(ProcessEndDeathTest, EndAtOnceFinishesAHeldStepFirst) {
  // The child starts afresh: no thread of this process goes along.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string path = testing::TempDir() + "vendralith_held_step";
  (void)std::remove(path.c_str());
  EXPECT_EXIT(
      {
        std::promise<void> holding;
        std::thread([&holding, &path] {
          const HoldProcessEnd hold;
          holding.set_value();
          // Time for an end that does not wait to strike; nothing is measured.
          std::this_thread::sleep_for(std::chrono::milliseconds(20));
          std::ofstream(path) << "complete";
        }).detach();
        holding.get_future().wait();
        EndProcessAtOnce(ExitCode::RfcError);
      },
      testing::ExitedWithCode(1), "");
  std::ifstream file(path);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), "complete");
  (void)std::remove(path.c_str());
}

}  // namespace
}  // namespace vendralith
