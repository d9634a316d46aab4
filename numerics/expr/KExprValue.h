// KExprValue: a named value for expressions, the element type of the value
// trees. A value defined by an expression (m_expression not null) is obtained
// by evaluating that expression in the current evaluation; the record does not
// own the expression.
//
// Ordering: case-sensitive comparison of the names, a against b (so in-order
// walks run from the greatest name to the smallest); a search key is the name
// as const char*.
#pragma once
#include "containers/trees/KTreeCompare.h"
#include "platform/KString.h"

#include <cstring>

class KExpr;

struct KExprValue {
  KString m_name;
  double m_value = 0.0;
  KExpr* m_expression = nullptr;

  KExprValue() = default;
  KExprValue(const KString& name, double value, KExpr* expression = nullptr)
      : m_name(name), m_value(value), m_expression(expression) {}
};

template <>
struct KTreeOrder<KExprValue> {
  static int sign(int r) { return (r > 0) - (r < 0); }
  static int compare(const KExprValue& a, const KExprValue& b, long) {
    return sign(strcmp(a.m_name.GetString(), b.m_name.GetString()));
  }
  static int compareKey(const KExprValue& stored, const void* key, long) {
    return sign(strcmp(stored.m_name.GetString(), static_cast<const char*>(key)));
  }
};
