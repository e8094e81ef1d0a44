#include "grab/PicQueue.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

namespace lumora {
namespace {

TEST(PicQueue, FirstInFirstOutWithCaseBlindMembership) {
  TPicQueue Q;
  EXPECT_TRUE(Q.AppendIfAbsent("http://h/A.jpg"));
  EXPECT_FALSE(Q.AppendIfAbsent("HTTP://H/a.JPG"));  // the first spelling stays
  Q.Append("http://h/a.jpg");                        // plain appends allow duplicates
  Q.Append("http://h/b.jpg");
  EXPECT_EQ(Q.Count(), 3u);
  std::string A;
  ASSERT_TRUE(Q.TakeFirst(A));
  EXPECT_EQ(A, "http://h/A.jpg");
  EXPECT_TRUE(Q.Contains("http://h/A.JPG"));  // the duplicate is still waiting
  ASSERT_TRUE(Q.TakeFirst(A));
  EXPECT_EQ(A, "http://h/a.jpg");
  EXPECT_FALSE(Q.Contains("http://h/a.jpg"));
  EXPECT_TRUE(Q.AppendIfAbsent("http://h/a.jpg"));  // taken addresses can come again
  ASSERT_TRUE(Q.TakeFirst(A));
  EXPECT_EQ(A, "http://h/b.jpg");
  ASSERT_TRUE(Q.TakeFirst(A));
  EXPECT_FALSE(Q.TakeFirst(A));
  EXPECT_TRUE(Q.Empty());
}

TEST(PicQueueConcurrent, EveryEntryIsTakenExactlyOnce) {
  TPicQueue Q;
  constexpr int PerProducer = 2000;
  std::vector<std::thread> Threads;
  std::mutex Lock;
  std::multiset<std::string> Taken;
  std::atomic<int> ProducersLeft{2};
  for (int P = 0; P < 2; ++P)
    Threads.emplace_back([&, P] {
      for (int I = 0; I < PerProducer; ++I)
        Q.AppendIfAbsent(std::to_string(P) + "/" + std::to_string(I));
      --ProducersLeft;
    });
  for (int C = 0; C < 3; ++C)
    Threads.emplace_back([&] {
      std::string A;
      while (ProducersLeft > 0 || !Q.Empty())
        if (Q.TakeFirst(A)) {
          std::lock_guard G(Lock);
          Taken.insert(A);
        }
    });
  for (auto& T : Threads) T.join();
  EXPECT_EQ(Taken.size(), 2u * PerProducer);
  EXPECT_EQ(std::set<std::string>(Taken.begin(), Taken.end()).size(), 2u * PerProducer);
}

}  // namespace
}  // namespace lumora
