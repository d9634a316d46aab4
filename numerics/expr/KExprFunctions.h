// The function library of the expression language: the one-, two- and
// n-argument name tables (searched in that order, each in table order, names
// compared without regard to letter case), the callback table, and the table
// functions themselves, which are plain functions of doubles.
#pragma once
#include "numerics/expr/KExpr.h"

struct KExprUnaryRow { const char* m_name; KExprUnaryFn m_fn; };
struct KExprDyadicRow { const char* m_name; KExprDyadicFn m_fn; };
struct KExprNaryRow { const char* m_name; KExprNaryFn m_fn; int m_count; };
struct KExprCustomRow { const char* m_name; KExprCustomFn m_fn; int m_count; };

// The tables in search order (for tests and for listings).
const KExprUnaryRow* KExprUnaryTable(int& count);
const KExprDyadicRow* KExprDyadicTable(int& count);
const KExprNaryRow* KExprNaryTable(int& count);
const KExprCustomRow* KExprCustomTable(int& count);

// Rounding to the nearest integer: +-0.5 and truncation; 0 beyond 2147483647.
long KExprRound(double x);
// Power with a real cube root of negative numbers.
double KExprPow(double a, double b);
// Dimension code of nine exponents (invalid code when out of range).
long KExprPackDimension(const int e[9]);

// Table functions, callable directly.
double KExprMax(const double* a, int n);
double KExprMin(const double* a, int n);
double KExprSum(const double* a, int n);
double KExprAverage(const double* a, int n);
double KExprEquRoot(const double* a, int n);
double KExprPwl(const double* a, int n);
// As pwl, but outside the table throws KValueExprException with the end value.
double KExprPwlt(const double* a, int n);
