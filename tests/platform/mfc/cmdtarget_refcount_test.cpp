// Reference counts of command targets: the last release deletes the object once; an aggregated object's external
// counts are its owner's; counts hold under threads.
#include "platform/mfc/afxwin.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

// Counts its final releases and deletions.
class CCountedTarget : public CCmdTarget {
public:
  explicit CCountedTarget(int* deleted) : m_pDeleted(deleted) {}
  ~CCountedTarget() override { ++*m_pDeleted; }
  int* m_pDeleted;
};

// Keeps itself on the final release, as an object whose owner deletes it later would.
class CKeptTarget : public CCmdTarget {
public:
  void OnFinalRelease() override { ++m_nFinalReleases; }
  int m_nFinalReleases = 0;
};

TEST(CmdTargetReferences, TheLastReleaseDeletesTheObjectOnce)
{
  int deleted = 0;
  auto* target = new CCountedTarget(&deleted);
  EXPECT_EQ(target->m_dwRef, 1);  // its maker's
  EXPECT_EQ(target->InternalAddRef(), 2u);
  EXPECT_EQ(target->ExternalAddRef(), 3u);
  EXPECT_EQ(target->InternalRelease(), 2u);
  EXPECT_EQ(target->ExternalRelease(), 1u);
  EXPECT_EQ(deleted, 0);
  EXPECT_EQ(target->InternalRelease(), 0u);
  EXPECT_EQ(deleted, 1);

  // Releasing past zero neither finishes the object again nor takes the count below zero.
  CKeptTarget kept;
  EXPECT_EQ(kept.InternalRelease(), 0u);
  EXPECT_EQ(kept.InternalRelease(), 0u);
  EXPECT_EQ(kept.ExternalRelease(), 0u);
  EXPECT_EQ(kept.m_nFinalReleases, 1);
  EXPECT_EQ(kept.m_dwRef, 0);
}

TEST(CmdTargetReferences, AnAggregatedObjectsExternalCountsAreItsOwners)
{
  CKeptTarget owner;
  CKeptTarget part;
  part.m_pOuterUnknown = &owner;
  EXPECT_EQ(part.ExternalAddRef(), 2u);
  EXPECT_EQ(owner.m_dwRef, 2);
  EXPECT_EQ(part.m_dwRef, 1);
  EXPECT_EQ(part.InternalAddRef(), 2u);  // the part's own count is its own
  EXPECT_EQ(owner.m_dwRef, 2);
  EXPECT_EQ(part.ExternalRelease(), 1u);
  EXPECT_EQ(part.ExternalRelease(), 0u);
  EXPECT_EQ(owner.m_nFinalReleases, 1);
  EXPECT_EQ(part.m_nFinalReleases, 0);
  EXPECT_EQ(part.m_dwRef, 2);

  EXPECT_FALSE(part.IsAutomationEnabled());
  part.EnableAutomation();
  EXPECT_TRUE(part.IsAutomationEnabled());
}

TEST(CmdTargetReferences, CountsHoldWhenManyThreadsAddAndRelease)
{
  int deleted = 0;
  auto* target = new CCountedTarget(&deleted);
  constexpr int kThreads = 8;
  constexpr int kRounds = 10000;
  std::atomic<bool> go{false};
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&] {
      while (!go) {
        std::this_thread::yield();
      }
      for (int n = 0; n < kRounds; ++n) {
        target->InternalAddRef();
        target->InternalRelease();
      }
    });
  }
  go = true;
  for (std::thread& t : threads) {
    t.join();
  }
  EXPECT_EQ(deleted, 0);
  EXPECT_EQ(target->m_dwRef, 1);
  target->InternalRelease();
  EXPECT_EQ(deleted, 1);
}

}  // namespace
