#include <gtest/gtest.h>

#include <limits>

#include "geometry/coords/K1dLine.h"
#include "geometry/coords/K2dRect.h"
#include "geometry/coords/K3dVolume.h"

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
}

TEST(KBoundsTest, DefaultBoundsAreEmptyAndInvalid) {
  K1dLine line;
  K2dRect rect;
  K3dVolume volume;
  EXPECT_FALSE(line.isValid());
  EXPECT_FALSE(rect.isValid());
  EXPECT_FALSE(volume.isValid());
  EXPECT_EQ(rect.getMin(), K2dCoords(1, 1));
  EXPECT_EQ(rect.getMax(), K2dCoords(0, 0));
  EXPECT_EQ(volume.getMin(), K3dCoords(1, 1, 1));
  EXPECT_EQ(line.low(), 1.0);
  EXPECT_EQ(line.high(), 0.0);
}

TEST(KBoundsTest, TwoPointFormsSortEachCoordinate) {
  K2dRect rect(K2dCoords(3, 1), K2dCoords(1, 2));
  EXPECT_EQ(rect.getMin(), K2dCoords(1, 1));
  EXPECT_EQ(rect.getMax(), K2dCoords(3, 2));
  EXPECT_EQ(K2dRect(3, 1, 1, 2), rect);
  K1dLine line(5, -2);
  EXPECT_EQ(line.low(), -2.0);
  EXPECT_EQ(line.high(), 5.0);
  EXPECT_EQ(K1dLine(K1dCoords(5), K1dCoords(-2)), line);
  K3dVolume box(1, 5, 3, 4, 2, 3);
  EXPECT_EQ(box.getMin(), K3dCoords(1, 2, 3));
  EXPECT_EQ(box.getMax(), K3dCoords(4, 5, 3));
  EXPECT_TRUE(box.isValid());
  EXPECT_EQ(K3dVolume(K3dCoords(4, 2, 3), K3dCoords(1, 5, 3)), box);
  K3dVolume point(1, 2, 3);
  EXPECT_EQ(point.getMin(), point.getMax());
  EXPECT_TRUE(point.isValid());
  EXPECT_EQ(K2dRect(K2dCoords(2, 3)).getMax(), K2dCoords(2, 3));
}

TEST(KBoundsTest, ValidityNeedsEveryCoordinate) {
  K3dVolume box(0, 0, 0, 1, 1, 1);
  box.getMin().y() = 2;
  EXPECT_FALSE(box.isValid());
  box.getMin().y() = 1;
  EXPECT_TRUE(box.isValid());
  box.getMax().z() = kNaN;
  EXPECT_FALSE(box.isValid());
}

TEST(KBoundsTest, RectangleContainsItsEdges) {
  K2dRect rect(0, 0, 2, 1);
  EXPECT_TRUE(rect.contains(K2dCoords(2, 0.5)));
  EXPECT_TRUE(rect.contains(K2dCoords(0, 0)));
  EXPECT_TRUE(rect.contains(K2dCoords(1, 1)));
  EXPECT_FALSE(rect.contains(K2dCoords(2.0000001, 0.5)));
  EXPECT_FALSE(rect.contains(K2dCoords(1, -1e-12)));
  EXPECT_FALSE(rect.contains(K2dCoords(-1e-12, 0.5)));
  EXPECT_FALSE(rect.contains(K2dCoords(1, 1.5)));
  EXPECT_EQ(rect.size(0), 2.0);
  EXPECT_EQ(rect.size(1), 1.0);
}

TEST(KBoundsTest, ScalingAboutTheCentre) {
  K2dRect rect(0, 0, 2, 4);
  rect.scaleAboutCentre(100);
  EXPECT_EQ(rect, K2dRect(-1, -2, 3, 6));
  rect.scaleAboutCentre(-100);
  EXPECT_EQ(rect, K2dRect(1, 2, 1, 2));
  K2dRect same(0, 0, 2, 4);
  same.scaleAboutCentre(0);
  EXPECT_EQ(same, K2dRect(0, 0, 2, 4));
  same.scaleAboutCentre(-50);
  EXPECT_EQ(same, K2dRect(0.5, 1, 1.5, 3));
}

TEST(KBoundsTest, VolumeCentreCornersAndInclude) {
  K3dVolume box(0, 0, 0, 2, 4, 6);
  EXPECT_EQ(box.centre(), K3dCoords(1, 2, 3));
  EXPECT_EQ(box.corner(0), K3dCoords(0, 0, 0));
  EXPECT_EQ(box.corner(1), K3dCoords(2, 0, 0));
  EXPECT_EQ(box.corner(2), K3dCoords(0, 4, 0));
  EXPECT_EQ(box.corner(4), K3dCoords(0, 0, 6));
  EXPECT_EQ(box.corner(7), K3dCoords(2, 4, 6));

  K3dVolume grown;
  grown.include(K3dCoords(5, 5, 5));
  EXPECT_TRUE(grown.isValid());
  EXPECT_EQ(grown.getMin(), K3dCoords(5, 5, 5));
  EXPECT_EQ(grown.getMax(), K3dCoords(5, 5, 5));
  grown.include(K3dCoords(3, 7, 5));
  EXPECT_EQ(grown.getMin(), K3dCoords(3, 5, 5));
  EXPECT_EQ(grown.getMax(), K3dCoords(5, 7, 5));
  grown.include(K3dCoords(4, 6, 5));
  EXPECT_EQ(grown, K3dVolume(3, 5, 5, 5, 7, 5));
}

TEST(KBoundsTest, InvalidValuesAreFoundAndClearedOnBothCorners) {
  K2dRect rect(0, 0, 1, 1);
  EXPECT_FALSE(rect.hasInvalidValue());
  rect.getMax().x() = kNaN;
  EXPECT_TRUE(rect.hasInvalidValue());
  rect.getMin().y() = -std::numeric_limits<double>::infinity();
  EXPECT_EQ(rect.clearInvalidValues(), -1);
  EXPECT_EQ(rect, K2dRect(0, 0, 0, 1));
  EXPECT_FALSE(rect.hasInvalidValue());
  K1dLine line(0, 1);
  line.setLow(kNaN);
  EXPECT_TRUE(line.hasInvalidValue());
  EXPECT_EQ(line.boundsQuery(1, 2, 3), 0);
}
