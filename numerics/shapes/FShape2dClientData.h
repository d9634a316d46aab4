// FShape2dClientData: data that a program hangs on a two-dimensional shape
// and that must follow the shape's corners. The shape owns it and deletes it
// through the virtual destructor; after swapping two corners the shape calls
// cornersSwapped.
#pragma once
#include "core/application/KObject.h"

class FShape2dClientData : public KObject {
 public:
  // Corners i and j of a shape of cornerCount corners have been swapped.
  // True when the data could not follow.
  virtual bool cornersSwapped(int cornerCount, int i, int j) = 0;
};
