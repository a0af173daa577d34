#include "system/watchdog.h"

#include <gtest/gtest.h>

#include <future>
#include <memory>

namespace vendralith {
namespace {

TEST(StartWatchdog, ActsOnceTheDeadlineHasPassed) {
  // Shared: the thread may outlive a failed test.
  auto acted = std::make_shared<std::promise<void>>();
  ASSERT_TRUE(StartWatchdog(std::chrono::steady_clock::now(), [acted] { acted->set_value(); }));
  // A bound for a watchdog that never acts, not a measure of its speed.
  EXPECT_EQ(acted->get_future().wait_for(std::chrono::minutes(1)), std::future_status::ready);
}

}  // namespace
}  // namespace vendralith
