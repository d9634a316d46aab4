// For tests: the named values that the expression conformance table
// (tests/data/expr/conformance.txt) is written against, as its head lists them.
#pragma once
#include "numerics/expr/KExpr.h"
#include "numerics/expr/KExprValues.h"

class KExprConformanceValues {
 public:
  KExprConformanceValues() : m_values(true) {
    m_values.addValue("a", 2);
    m_values.addValue("b", 3);
    m_values.addValue("x", 10);
    m_values.addValue("r", 2);
    m_values.addValue("neg", -4);
    m_values.addValue("zero", 0);
    m_values.addValue("big", 1e300);
    m_twice.parse("2*a", false, 0);
    m_self.parse("self+1", false, 0);
    m_values.addValue("twice_a", 0, &m_twice);
    m_values.addValue("self", 0, &m_self);
  }
  KExprValues* get() { return &m_values; }

 private:
  KExprValues m_values;
  KExpr m_twice, m_self;
};
