/* The application's lock: writers that take it never lose each other's
 * changes, and it leaves no lock file behind. */
#include <gtest/gtest.h>

#include <thread>

#include "capture_lock.h"
#include "test_support.h"

TEST(ApplicationLock, ParallelWritersLoseNothing) {
  ScratchDir d("lock");
  CPathName app(d.Path("x.app"));
  WriteFile(app.Str(), "0");
  const int writers = 6, rounds = 40;
  std::vector<std::thread> threads;
  for (int t = 0; t < writers; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < rounds; ++i) {
        /* flock() locks belong to the open file, so threads of one
         * process compete as processes do. */
        CApplicationLock lock(app);
        ASSERT_TRUE(lock.Lock()) << lock.GetError();
        int n = std::stoi(ReadFile(app.Str()));
        std::this_thread::yield();
        WriteFile(app.Str(), std::to_string(n + 1));
      }
    });
  for (auto &t : threads) t.join();
  EXPECT_EQ(ReadFile(app.Str()), std::to_string(writers * rounds));
  EXPECT_EQ(DirEntries(d.Path()), (std::vector<std::string>{"x.app"}));
}

TEST(ApplicationLock, FailsClearlyWhereNoLockFileCanBeMade) {
  CApplicationLock lock(CPathName("/nonexistent-dir/x.app"));
  EXPECT_FALSE(lock.Lock());
  EXPECT_NE(lock.GetError().find("/nonexistent-dir/x.app.lock"), std::string::npos);
  EXPECT_FALSE(lock.IsLocked());
}
