#include "numerics/shapes/KTriangleTopology.h"

#include <gtest/gtest.h>

TEST(KTriangleTopologyTest, NodesEdgesAndDirection) {
  KTriangleTopology t(10, 20, 30);
  const KTopology& any = t;
  EXPECT_EQ(any.nodeCount(), 3);
  EXPECT_EQ(any.node(2), 30);
  EXPECT_EQ(any.node(3), -1);
  EXPECT_EQ(any.node(-1), -1);
  EXPECT_TRUE(t.setNode(3, 5));
  EXPECT_FALSE(t.setNode(1, 21));
  EXPECT_EQ(t.node(1), 21);
  EXPECT_EQ(t.edgeOf(10, 21), 0);
  EXPECT_EQ(t.edgeOf(21, 10), 0);
  EXPECT_EQ(t.edgeOf(30, 10), 2);
  EXPECT_EQ(t.edgeOf(21, 30), 1);
  EXPECT_EQ(t.edgeOf(10, 10), -1);
  EXPECT_EQ(t.edgeOf(10, 99), -1);
  EXPECT_TRUE(t.sameAs(KTriangleTopology(30, 10, 21)));
  KTriangleTopology r(t);
  r.reverse();
  EXPECT_FALSE(t.sameAs(r));
  EXPECT_EQ(r.node(1), 30);
  EXPECT_EQ(KTriangleTopology().node(0), 0);
}
