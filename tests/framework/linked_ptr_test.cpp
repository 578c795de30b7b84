// SPDX-License-Identifier: MIT
// The ring-linked shared pointer: ring membership and deleting exactly once.
#include "framework/linked_ptr.h"

#include <gtest/gtest.h>

namespace {

struct Counted {
  static int deleted;
  virtual ~Counted() { ++deleted; }
};
int Counted::deleted = 0;

class LinkedPtrTest : public ::testing::Test {
 protected:
  void SetUp() override { Counted::deleted = 0; }
};

TEST_F(LinkedPtrTest, CopiedTwiceDeletesOnceOnLastDestruction) {
  auto* a = new linked_ptr<Counted>(new Counted);
  auto* b = new linked_ptr<Counted>(*a);
  auto* c = new linked_ptr<Counted>(*b);
  EXPECT_EQ(a->get(), c->get());
  delete b;
  delete a;
  EXPECT_EQ(0, Counted::deleted);
  delete c;
  EXPECT_EQ(1, Counted::deleted);
}

TEST_F(LinkedPtrTest, AssignmentDropsTheOldObjectOnlyWhenLastHolder) {
  linked_ptr<Counted> a(new Counted);
  linked_ptr<Counted> b(new Counted);
  linked_ptr<Counted> a2(a);
  Counted* first = a.get();
  a = b;  // a2 still holds the first object
  EXPECT_EQ(0, Counted::deleted);
  EXPECT_EQ(first, a2.get());
  a2 = b;  // now nobody holds it
  EXPECT_EQ(1, Counted::deleted);
  EXPECT_EQ(b.get(), a.get());
  EXPECT_EQ(b.get(), a2.get());
}

TEST_F(LinkedPtrTest, SelfAssignmentKeepsTheObject) {
  linked_ptr<Counted> a(new Counted);
  linked_ptr<Counted>& alias = a;
  a = alias;
  EXPECT_EQ(0, Counted::deleted);
  EXPECT_NE(nullptr, a.get());
}

TEST_F(LinkedPtrTest, ReleasedMemberLeavesTheOthersHoldingTheObject) {
  linked_ptr<Counted> a(new Counted);
  {
    linked_ptr<Counted> b(a);
    b.release();
    EXPECT_EQ(nullptr, b.get());
    EXPECT_EQ(nullptr, b.next);
    EXPECT_EQ(&a, a.next);
    // A released pointer counts as alone; copying from it must not touch a's ring.
    linked_ptr<Counted> c(b);
    EXPECT_EQ(nullptr, c.get());
  }
  EXPECT_EQ(0, Counted::deleted);
  a.release();
  EXPECT_EQ(1, Counted::deleted);
  a.release();  // nothing left to delete
  EXPECT_EQ(1, Counted::deleted);
}

TEST_F(LinkedPtrTest, NullPointerIsHarmless) {
  linked_ptr<Counted> a;
  linked_ptr<Counted> b(a);
  a = b;
  EXPECT_EQ(nullptr, a.get());
  EXPECT_EQ(0, Counted::deleted);
}

}  // namespace
