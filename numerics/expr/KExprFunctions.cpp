#include "numerics/expr/KExprFunctions.h"

#include "core/application/KApplicationAbstract.h"
#include "core/application/KFlagDefence.h"
#include "numerics/expr/KExprParser.h"
#include "containers/trees/KGlobalUtils.h"
#include "storage/numbertext/KQuantityCodes.h"
#include "numerics/shapes/FUnivariantPolynomial.h"

#include <cfloat>
#include <cmath>
#include <string>
#include <unordered_map>

namespace {
constexpr double kPi = 3.141592653589793;

double fnSind(double x) { return sin(x * kPi / 180); }
double fnCosd(double x) { return cos(x * kPi / 180); }
double fnTand(double x) { return tan(x * kPi / 180); }
double fnAsind(double x) { return asin(x) * 180 / kPi; }
double fnAcosd(double x) { return acos(x) * 180 / kPi; }
double fnAtand(double x) { return atan(x) * 180 / kPi; }
double fnNot(double x) { return x == 0.0 ? 1.0 : 0.0; }
double fnDegrees(double x) { return x * 180 / kPi; }
double fnRadians(double x) { return x * kPi / 180; }
double fnSign(double x) { return x < 0 ? -1.0 : (x > 0 ? 1.0 : 0.0); }
double fnSin(double x) { return sin(x); }
double fnCos(double x) { return cos(x); }
double fnTan(double x) { return tan(x); }
double fnAsin(double x) { return asin(x); }
double fnAcos(double x) { return acos(x); }
double fnAtan(double x) { return atan(x); }
double fnSinh(double x) { return sinh(x); }
double fnCosh(double x) { return cosh(x); }
double fnTanh(double x) { return tanh(x); }
double fnExp(double x) { return exp(x); }
double fnLog(double x) { return log(x); }
double fnLog10(double x) { return log10(x); }
double fnSqrt(double x) { return sqrt(x); }
double fnCeil(double x) { return ceil(x); }
double fnFloor(double x) { return floor(x); }
double fnAbs(double x) { return fabs(x); }

double fnAtan2(double a, double b) { return atan2(a, b); }
double fnMod(double a, double b) { return fmod(a, b); }
double fnAtan2d(double a, double b) { return atan2(a, b) * 180 / kPi; }
double fnAnd(double a, double b) { return (a != 0.0 && b != 0.0) ? 1.0 : 0.0; }
double fnOr(double a, double b) { return (a == 0.0 && b == 0.0) ? 0.0 : 1.0; }
double fnBoolEq(double a, double b) { return ((a == 0.0) == (b == 0.0)) ? 1.0 : 0.0; }
double fnBoolNe(double a, double b) { return 1.0 - fnBoolEq(a, b); }
double fnConvertFromSI(double a, double b) {
  double v = a;
  if (KGetApplication()->ConvertFromSI(v, KExprRound(b))) throw KExprException(KEXPR_SYNTAX, "convertFromSI");
  return v;
}

// Tolerant comparison: 1 when a - b > tol, 0 when b - a <= tol, else -1.
// The family reads two arguments and a tolerance as the third; further
// arguments are ignored, and resolution refuses fewer than two.
int tolerantCompare(const double* a, int n) {
  double tol = n >= 3 ? a[2] : 0.0;
  if (a[0] - a[1] > tol) return 1;
  if (a[1] - a[0] <= tol) return 0;
  return -1;
}
double fnGt(const double* a, int n) { return tolerantCompare(a, n) == 1 ? 1.0 : 0.0; }
double fnGe(const double* a, int n) { return tolerantCompare(a, n) >= 0 ? 1.0 : 0.0; }
double fnLt(const double* a, int n) { return tolerantCompare(a, n) == -1 ? 1.0 : 0.0; }
double fnLe(const double* a, int n) { return tolerantCompare(a, n) <= 0 ? 1.0 : 0.0; }
double fnEq(const double* a, int n) { return tolerantCompare(a, n) == 0 ? 1.0 : 0.0; }
double fnNe(const double* a, int n) { return tolerantCompare(a, n) != 0 ? 1.0 : 0.0; }
double fnPackDimension(const double* a, int n) {
  int e[9] = {0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (int i = 0; i < 5 && i < n; ++i) e[i + 1] = static_cast<int>(KExprRound(a[i]));
  return static_cast<double>(KExprPackDimension(e));
}

const KExprUnaryRow kUnary[] = {
    {"sin", fnSin},     {"cos", fnCos},       {"tan", fnTan},         {"asin", fnAsin},   {"acos", fnAcos},
    {"atan", fnAtan},   {"sinh", fnSinh},     {"cosh", fnCosh},       {"tanh", fnTanh},   {"exp", fnExp},
    {"log", fnLog},     {"log10", fnLog10},   {"sqrt", fnSqrt},       {"ceil", fnCeil},   {"floor", fnFloor},
    {"abs", fnAbs},     {"sind", fnSind},     {"cosd", fnCosd},       {"tand", fnTand},   {"asind", fnAsind},
    {"acosd", fnAcosd}, {"atand", fnAtand},   {"not", fnNot},         {"degrees", fnDegrees},
    {"radians", fnRadians}, {"sign", fnSign}};
const KExprDyadicRow kDyadic[] = {
    {"atan2", fnAtan2}, {"pow", KExprPow}, {"mod", fnMod}, {"atan2d", fnAtan2d}, {"and", fnAnd},
    {"or", fnOr}, {"boolEq", fnBoolEq}, {"boolNe", fnBoolNe}, {"convertFromSI", fnConvertFromSI}};
const KExprNaryRow kNary[] = {
    {"max", KExprMax, -1}, {"min", KExprMin, -1}, {"sum", KExprSum, -1}, {"gt", fnGt, -1},
    {"ge", fnGe, -1},      {"lt", fnLt, -1},      {"le", fnLe, -1},      {"eq", fnEq, -1},
    {"ne", fnNe, -1},      {"sum", KExprSum, -1}, {"average", KExprAverage, -1},
    {"packDimension", fnPackDimension, 5},        {"equRoot", KExprEquRoot, -1},
    {"pwl", KExprPwl, -1}, {"pwlt", KExprPwlt, -1}};
const KExprCustomRow kCustom[] = {{"****DUMMY***", nullptr, -1}};

std::string folded(const char* s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  return r;
}

// Where a name resolves: table (0 unary, 1 dyadic, 2 n-ary, 3 callback) and row.
struct Slot { int table; int row; };

// First match in search order for each case-folded name. Names compare
// without regard to ASCII letter case, which is exactly what the locale
// comparison answers for these names, so one hash look-up replaces the scans.
const std::unordered_map<std::string, Slot>& nameIndex() {
  static const std::unordered_map<std::string, Slot> index = [] {
    std::unordered_map<std::string, Slot> m;
    for (int i = 0; i < static_cast<int>(std::size(kUnary)); ++i) m.emplace(folded(kUnary[i].m_name), Slot{0, i});
    for (int i = 0; i < static_cast<int>(std::size(kDyadic)); ++i) m.emplace(folded(kDyadic[i].m_name), Slot{1, i});
    for (int i = 0; i < static_cast<int>(std::size(kNary)); ++i) m.emplace(folded(kNary[i].m_name), Slot{2, i});
    for (int i = 0; i < static_cast<int>(std::size(kCustom)); ++i) m.emplace(folded(kCustom[i].m_name), Slot{3, i});
    return m;
  }();
  return index;
}

bool sameName(const KString& name, const char* fixed) { return name.CompareNoCase(fixed) == 0; }

// Argument counts that an n-ary row admits beyond its table count.
bool naryCountOk(const KExprNaryRow& row, int n) {
  if (n == 0) return false;
  if (row.m_count != -1) return n == row.m_count;
  // The tolerant comparisons read up to three arguments and need two,
  // equRoot needs three: fewer would read past the arguments.
  if (row.m_fn == fnGt || row.m_fn == fnGe || row.m_fn == fnLt || row.m_fn == fnLe ||
      row.m_fn == fnEq || row.m_fn == fnNe)
    return n >= 2;
  if (row.m_fn == KExprEquRoot) return n >= 3;
  return true;
}
}  // namespace

const KExprUnaryRow* KExprUnaryTable(int& count) { count = static_cast<int>(std::size(kUnary)); return kUnary; }
const KExprDyadicRow* KExprDyadicTable(int& count) { count = static_cast<int>(std::size(kDyadic)); return kDyadic; }
const KExprNaryRow* KExprNaryTable(int& count) { count = static_cast<int>(std::size(kNary)); return kNary; }
const KExprCustomRow* KExprCustomTable(int& count) { count = static_cast<int>(std::size(kCustom)); return kCustom; }

long KExprRound(double x) {
  if (!(fabs(x) <= 2147483647.0)) return 0;
  return static_cast<long>(x > 0 ? x + 0.5 : x - 0.5);
}

double KExprPow(double a, double b) {
  // Squares are the commonest power in entry fields; one multiplication is
  // correctly rounded, so it is never less exact than the run-time pow.
  if (b == 2.0) return a * a;
  if (a < 0 && KGlobalUtils::cmpFunc(b, 1.0 / 3.0, 0) == 0) return -pow(-a, b);
  return pow(a, b);
}

long KExprPackDimension(const int e[9]) { return packDimensionCode(e); }

double KExprMax(const double* a, int n) {
  double best = -DBL_MAX;
  for (int i = 0; i < n; ++i)
    if (!(best > a[i])) best = a[i];
  return best;
}
double KExprMin(const double* a, int n) {
  double best = DBL_MAX;
  for (int i = 0; i < n; ++i)
    if (!(a[i] > best)) best = a[i];
  return best;
}
double KExprSum(const double* a, int n) {
  double s = 0.0;
  for (int i = 0; i < n; ++i) s += a[i];
  return s;
}
double KExprAverage(const double* a, int n) { return n > 0 ? KExprSum(a, n) / n : 0.0; }

double KExprEquRoot(const double* a, int n) {
  if (n < 3) return KExprUndefined;
  const int coefficients = n - 1;
  FUnivariantPolynomial<double> p;
  p.setSize(coefficients);
  for (int k = 0; k < coefficients; ++k) p[k] = a[coefficients - 1 - k];  // highest power first in the call
  KHSimpleArray<double> roots;
  int found = realRoots(p, roots, 1e-12, 200, 0.0, false);
  if (found <= 0) return KExprUndefined;
  const long selector = KExprRound(a[n - 1]);
  double pick = KExprUndefined;
  for (int i = 0; i < found; ++i) {
    const double r = roots[i];
    switch (selector) {
      case 2: if (KExprIsUndefined(pick) || r < pick) pick = r; break;
      case 3: if (r >= 0 && (KExprIsUndefined(pick) || r < pick)) pick = r; break;
      case 4: if (r <= 0 && (KExprIsUndefined(pick) || r > pick)) pick = r; break;
      default: if (KExprIsUndefined(pick) || r > pick) pick = r; break;
    }
  }
  return pick;
}

namespace {
// pwl(x, x1, y1, ..., xk, yk): odd count of at least 5, otherwise 0.
double piecewise(const double* a, int n, bool throwOutside) {
  if (n < 5 || n % 2 == 0) return 0.0;
  const double x = a[0];
  const int k = (n - 1) / 2;
  const double* xs = a + 1;  // xs[2i] = x_i, xs[2i + 1] = y_i
  if (x <= xs[0]) {
    // At the first point itself the value lies in the table.
    if (throwOutside && x < xs[0]) throw KValueExprException{xs[1]};
    return xs[1];
  }
  for (int i = 0; i + 1 < k; ++i) {
    const double x0 = xs[2 * i], y0 = xs[2 * i + 1], x1 = xs[2 * i + 2], y1 = xs[2 * i + 3];
    if (x0 <= x && x <= x1) {
      if (x0 >= x1) return 0.0;
      const double t = (x - x0) / (x1 - x0);
      return (1 - t) * y0 + t * y1;
    }
  }
  if (throwOutside) throw KValueExprException{xs[2 * k - 1]};
  return xs[2 * k - 1];
}
}  // namespace

double KExprPwl(const double* a, int n) { return piecewise(a, n, false); }
double KExprPwlt(const double* a, int n) { return piecewise(a, n, true); }

bool KExpr::resolveCall(const KString& name, std::vector<KString>& arguments, int lengthMode) {
  const int n = static_cast<int>(arguments.size());
  if (sameName(name, "error")) {
    m_kind = kExprErrorCall;
    if (n == 1) {
      KString arg = arguments[0];
      arg.Trim();
      if (arg.GetLength() >= 2 && arg[0] == '"' && arg[arg.GetLength() - 1] == '"') {
        m_errorText = arg.Mid(1, arg.GetLength() - 2);
      } else {
        char* end = nullptr;
        long code = strtol(arg, &end, 10);
        if (!arg.IsEmpty() && end && *end == 0 && code >= INT32_MIN && code <= INT32_MAX)
          m_errorCode = static_cast<int>(code);
      }
    }
    if (m_errorText.IsEmpty() && m_errorCode == 0) throw KExprException(KEXPR_SYNTAX, m_text);
    return false;
  }
  if (sameName(name, "none")) {
    if (n != 0) throw KExprException(KEXPR_SYNTAX, m_text);
    m_kind = kExprNoneCall;
    return false;
  }
  if (n == 0) {
    KExpr* child = new KExpr(m_userLocale);
    addChild(child);
    child->parse(name, m_userLocale, lengthMode);
    updateDepth();
    m_kind = kExprNameCall;
    return false;
  }
  for (const KString& arg : arguments) {
    KExpr* child = new KExpr(m_userLocale);
    addChild(child);
    child->parse(arg, m_userLocale, lengthMode);
  }
  updateDepth();
  auto requireCount = [&](bool ok) {
    if (!ok) throw KExprException(KEXPR_ARG_COUNT, m_text);
  };
  if (sameName(name, "isnumber") || sameName(name, "isDefined")) {
    requireCount(n == 1);
    m_kind = sameName(name, "isnumber") ? kExprIsNumberCall : kExprIsDefinedCall;
    return false;
  }
  const auto& index = nameIndex();
  std::string key = folded(name);
  auto it = index.find(key);
  // "if" and "case" stand between the two-argument and the n-argument tables.
  if (it != index.end() && it->second.table == 0) {
    requireCount(n == 1);
    m_unaryFn = kUnary[it->second.row].m_fn;
    return false;
  }
  if (it != index.end() && it->second.table == 1) {
    requireCount(n == 2);
    m_dyadicFn = kDyadic[it->second.row].m_fn;
    return false;
  }
  if (sameName(name, "if")) {
    requireCount(n == 3);
    m_kind = kExprConditional;
    return false;
  }
  if (sameName(name, "case")) {
    requireCount(n > 2 && n % 2 == 1);
    m_kind = kExprConditional;
    return false;
  }
  if (it == index.end()) return true;
  if (it->second.table == 2) {
    requireCount(naryCountOk(kNary[it->second.row], n));
    m_naryFn = kNary[it->second.row].m_fn;
    return false;
  }
  const KExprCustomRow& row = kCustom[it->second.row];
  requireCount(row.m_count == -1 || n == row.m_count);
  m_customFn = row.m_fn;
  return false;
}

double KExpr::evaluateCall(KExprContext& c) {
  if (m_unaryFn && !m_children.empty()) {
    double x = m_children[0]->evaluateNode(c);
    if (KExprIsUndefined(x) || c.failed()) return KExprUndefined;
    KFlagDefence inFunction(c.m_suppressErrors, true);  // the first flag, for math-error handling
    return m_unaryFn(x);
  }
  if (m_dyadicFn && m_children.size() >= 2) {
    double x = m_children[0]->evaluateNode(c);
    if (KExprIsUndefined(x) || c.failed()) return KExprUndefined;
    if (m_dyadicFn == fnOr && x != 0.0) return 1.0;
    if (m_dyadicFn == fnAnd && x == 0.0) return 0.0;
    double y = m_children[1]->evaluateNode(c);
    if (KExprIsUndefined(y) || c.failed()) return KExprUndefined;
    KFlagDefence inFunction(c.m_inDyadic, true);
    return m_dyadicFn(x, y);
  }
  if (m_naryFn) {
    const int n = static_cast<int>(m_children.size());
    double small[16];
    std::vector<double> big;
    double* args = small;
    if (n > 16) { big.resize(static_cast<size_t>(n)); args = big.data(); }
    for (int i = 0; i < n; ++i) {
      args[i] = m_children[static_cast<size_t>(i)]->evaluateNode(c);
      if (KExprIsUndefined(args[i]) || c.failed()) return KExprUndefined;
    }
    KFlagDefence inFunction(c.m_inNary, true);
    return m_naryFn(args, n);
  }
  if (m_customFn) return m_customFn(m_children.data(), static_cast<int>(m_children.size()), c);
  throw KExprException(KEXPR_BAD_NODE, m_text);
}
