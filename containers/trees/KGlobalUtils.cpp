#include "containers/trees/KGlobalUtils.h"

#include <cfloat>
#include <cmath>

#include "core/application/KApplicationAbstract.h"
#include "platform/KMessageBox.h"

namespace {

int signOf(double x) { return (x > 0.0) - (x < 0.0); }
int greaterSide(double a, double b) { return b > a ? 1 : -1; }
int decimalExponent(double x) { return x == 0.0 ? 0 : static_cast<int>(std::floor(std::log10(std::fabs(x)))); }
double truncated(double x) { return x >= 0.0 ? std::floor(x) : std::ceil(x); }

}  // namespace

int KGlobalUtils::cmpSignificant(double a, double b) {
  // Infinities and NaN have no digits; order them plainly (NaN equals all).
  if (!std::isfinite(a) || !std::isfinite(b)) return (a < b) - (b < a);
  int ea = decimalExponent(a);
  int eb = decimalExponent(b);
  if (std::abs(ea - eb) >= 2) return greaterSide(a, b);
  int e = ea > eb ? ea : eb;
  // Below 1e-307 the power of ten itself would be subnormal or zero (10^-324
  // is 0, and dividing by it gives infinities): bring both values up by 1e16
  // first. The mantissas only have to order and compare the values.
  double lift = e < -307 ? 1e16 : 1.0;
  double scale = std::pow(10.0, e < -307 ? e + 16 : e);
  double ma = a * lift / scale;
  double mb = b * lift / scale;
  long long ia = static_cast<long long>(ma * 100000000.0);
  long long ib = static_cast<long long>(mb * 100000000.0);
  if (ib > ia && b > a) return 1;
  if (ia > ib && a > b) return -1;
  for (int digit = 0; digit < 15; ++digit) {
    double da = truncated(ma);
    double db = truncated(mb);
    if (da < db) return 1;
    if (da > db) return -1;
    ma = (ma - da) * 10.0;
    mb = (mb - db) * 10.0;
  }
  return 0;
}

int KGlobalUtils::cmpFunc(double a, double b, long treeId) {
  if (a == DBL_MIN && b == DBL_MIN) return 0;
  switch (treeId) {
    case 211:
    case 212: {
      if (std::fabs(b - a) < 1e-10) return 0;
      if (signOf(a) == signOf(b)) {
        double s = std::fabs(a) + std::fabs(b);
        if (s < 1e-20 || std::fabs(a - b) / s < 0.0001) return 0;
      }
      return greaterSide(a, b);
    }
    case 0:
    case 54:
    case 195:
    case 210:
      return cmpSignificant(a, b);
    default:
      if (KGetApplication()->IsDeveloperDiagnostics()) {
        KString text;
        text.Format("KGlobalUtils::cmpFunc unknown treeId = %d", static_cast<int>(treeId));
        AfxMessageBox(text.GetString());
      }
      return cmpSignificant(a, b);
  }
}
