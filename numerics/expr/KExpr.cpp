#include "numerics/expr/KExpr.h"

#include "core/application/KFlagDefence.h"
#include "numerics/expr/KExprFunctions.h"
#include "numerics/expr/KExprParser.h"
#include "numerics/expr/KExprProgram.h"
#include "numerics/expr/KExprValues.h"
#include "containers/memory/KMemoryAllocator.h"

#include <algorithm>
#include <cfenv>
#include <exception>
#include <new>

namespace {
bool g_evaluating = false;

// Expression nodes come from the one process-wide allocator made at start-up,
// 20 nodes per block: entry fields parse short texts. One slot stays taken
// for the life of the process, so that the pool keeps its block between
// expressions: an entry field parses and frees a whole tree at a time, and
// would otherwise obtain and return a block for every expression.
struct NodePool {
  NodePool() : m_allocator(sizeof(KExpr), 20), m_keptSlot(m_allocator.allocate()) {}
  KMemoryAllocator m_allocator;
  void* m_keptSlot;
};
// One guarded static rather than two: nodes come and go by the dozen per text.
KMemoryAllocator& nodeAllocator() {
  static NodePool pool;
  return pool.m_allocator;
}
[[maybe_unused]] const bool g_nodeAllocatorAtStartUp = (nodeAllocator(), true);
}  // namespace

KMemoryAllocator& KExpr::getNodeAllocator() { return nodeAllocator(); }

void* KExpr::operator new(size_t size) {
  // Classes derived from KExpr by the owners of a tree may be larger than a
  // node slot; they come from the ordinary heap.
  void* p = size == sizeof(KExpr) ? nodeAllocator().allocate() : ::operator new(size, std::nothrow);
  if (!p) throw std::bad_alloc();
  return p;
}

void KExpr::operator delete(void* p, size_t size) {
  if (!p) return;
  if (size == sizeof(KExpr)) nodeAllocator().release(p);
  else ::operator delete(p);
}

KExpr::KExpr(bool userLocale) : m_userLocale(userLocale) {}

KExpr::~KExpr() { clearTree(); }

void KExpr::setKind(int kind) {
  ++g_exprTreeEdits;
  m_kind = kind;
}

void KExpr::clearTree() {
  m_depth = 1;
  if (m_children.empty()) return;
  // Children are deleted recursively, except down a chain's left spine: that
  // is unlinked and deleted by a loop, since a chain may be any length.
  KExpr* spine = nullptr;
  for (size_t i = 0; i < m_children.size(); ++i) {
    KExpr* c = m_children[i];
    if (i == 0 && c->isChainLink()) spine = c;
    else delete c;
  }
  m_children.clear();
  while (spine) {
    KExpr* left = spine->m_children[0];
    KExpr* right = spine->m_children[1];
    spine->m_children.clear();
    delete right;
    delete spine;
    spine = left->isChainLink() ? left : (delete left, nullptr);
  }
}

// The left operand of an infix node is evaluated in that node's own loop
// (evaluateChain), so a chain link below it adds no level.
void KExpr::addChild(KExpr* child) {
  m_children.push_back(child);
  const bool spine = m_children.size() == 1 && m_kind >= kExprPower && m_kind <= kExprEqual && child->isChainLink();
  m_depth = std::max(m_depth, child->m_depth + (spine ? 0 : 1));
}

void KExpr::updateDepth() {
  m_depth = 1;
  const bool infix = m_kind >= kExprPower && m_kind <= kExprEqual;
  for (size_t i = 0; i < m_children.size(); ++i) {
    const KExpr* c = m_children[i];
    m_depth = std::max(m_depth, c->m_depth + (i == 0 && infix && c->isChainLink() ? 0 : 1));
  }
}

bool KExpr::isEvaluating() { return g_evaluating; }

KString KExpr::sourceText() const {
  if (!isChainLink()) return m_text;
  // Down the left spine by a loop, then back up it adding each operator and
  // its right operand.
  std::vector<const KExpr*> spine;
  for (const KExpr* x = this; x->isChainLink(); x = x->m_children[0]) spine.push_back(x);
  KString text = spine.back()->m_children[0]->sourceText();
  for (size_t i = spine.size(); i-- > 0;) text += spine[i]->m_text + spine[i]->m_children[1]->sourceText();
  return text;
}

void KExpr::parse(const KString& text, bool userLocale, int lengthMode) {
  if (lengthMode == kExprLengthFeet || lengthMode == kExprLengthInches) {
    if (text.Find('\'') >= 0 || text.Find('"') >= 0) {
      bool ambiguous = text.Find('*') >= 0 || text.Find('/') >= 0;
      for (int i = 0; i < text.GetLength() && !ambiguous; ++i)
        if ((text[i] == '+' || text[i] == '-') && i > 0 && text[i - 1] != 'e' && text[i - 1] != 'E')
          ambiguous = true;
      if (ambiguous) throw KExprException(KEXPR_UNITS_MIX, text);
    }
  }
  ++g_exprTreeEdits;
  m_text = text;
  m_userLocale = userLocale;
  clearTree();
  unbind();
  // A group keeps its kind; every other node becomes the root of what it parses.
  if (m_kind != kExprGroup) m_kind = kExprUnparsed;
  KExprParser parser(*this, userLocale, lengthMode);
  parser.run(text);
}

void KExpr::classifyOperand(int lengthMode) {
  double value;
  if (KExprParser::readNumber(m_text, m_userLocale, value) ||
      KExprParser::readLength(m_text, m_userLocale, lengthMode, value)) {
    m_kind = kExprNumber;
    m_value = value;
    return;
  }
  if (!m_text.IsEmpty() && isdigit(static_cast<unsigned char>(m_text[0])))
    throw KExprException(KEXPR_BAD_OPERAND, m_text);
  m_kind = kExprVariable;
  unbind();
  int dot = m_text.Find('.');
  m_name = dot >= 0 ? m_text.Left(dot) : m_text;
  m_qualifier = dot >= 0 ? m_text.Mid(dot + 1) : KString();
  m_name.Trim();
  m_qualifier.Trim();
}

// call = name "(" [ argument { separator argument } ] ")"
void KExpr::parseCall(int lengthMode) {
  const int open = m_text.Find('(');
  const int close = m_text.ReverseFind(')');
  if (open < 0 || close < open || close != m_text.GetLength() - 1) throw KExprException(KEXPR_SYNTAX, m_text);
  std::vector<KString> arguments;
  if (!KExprParser::splitArguments(m_text.Mid(open + 1, close - open - 1), KExprParser::separator(m_userLocale),
                                   arguments))
    throw KExprException(KEXPR_SYNTAX, m_text);
  KString callName = m_text.Left(open);
  int dot = callName.Find('.');
  m_name = dot >= 0 ? callName.Left(dot) : callName;
  m_qualifier = dot >= 0 ? callName.Mid(dot + 1) : KString();
  m_name.Trim();
  m_qualifier.Trim();
  if (resolveCall(m_name, arguments, lengthMode)) {
    clearTree();
    m_kind = kExprVariable;
    unbind();
    m_name = m_text;
    m_qualifier.Empty();
  }
  updateDepth();
}

double KExpr::lookupVariable(KExprContext& context) {
  // The predefined values never change once built, so the caller's values
  // alone decide whether the binding still holds.
  const KExprValues* values = context.m_values;
  const unsigned long long stamp = values ? values->getChangeStamp() : 0;
  const KExprValue* found = m_bound;
  if (!found || m_boundValues != values || m_boundStamp != stamp) {
    found = values ? values->lookup(m_name) : nullptr;
    if (!found) found = KExprValues::predefined().lookup(m_name);
    if (!found) {
      unbind();
      context.fail(1, KEXPR_UNDEFINED, m_name);
      return KExprUndefined;
    }
    m_bound = found;
    m_boundValues = values;
    m_boundStamp = stamp;
  }
  if (!found->m_expression) return found->m_value;
  // A value defined by an expression is evaluated in the same context; a
  // definition that refers back to itself would recurse without end.
  if (context.m_valueDepth >= KExprMaxDepth) {
    context.fail(0, KEXPR_CIRCULAR, m_name);
    return KExprUndefined;
  }
  ++context.m_valueDepth;
  // The flat form stops on a failure it meets, not on one already standing.
  double v = context.failed() ? found->m_expression->evaluateNode(context)
                              : found->m_expression->evaluateTop(context);
  --context.m_valueDepth;
  return v;
}

namespace {
// True when the step left the evaluation stopped: an error, or no value.
bool stopped(double v, const KExprContext& c) { return KExprIsUndefined(v) || c.failed(); }
}  // namespace

// This node's operator applied to its operand values.
inline double KExpr::applyInfix(double a, double b, KExprContext& c) {
  switch (m_kind) {
    case kExprPower: return KExprPow(a, b);
    case kExprDivide:
      if (b == 0.0) { c.fail(0, KEXPR_DIVIDE_BY_ZERO, sourceText()); return KExprUndefined; }
      return a / b;
    case kExprMultiply: return a * b;
    case kExprAdd: return a + b;
    case kExprSubtract: return a - b;
    case kExprGreater: return a > b ? 1.0 : 0.0;
    case kExprLess: return a < b ? 1.0 : 0.0;
    default: return a == b ? 1.0 : 0.0;
  }
}

double KExpr::evaluateNode(KExprContext& c) {
  switch (m_kind) {
    case kExprRoot: case kExprGroup: case kExprPlus: case kExprNameCall:
      return m_children.empty() ? (c.fail(0, KEXPR_BAD_NODE, m_text), KExprUndefined)
                                : m_children[0]->evaluateNode(c);
    case kExprNegate: {
      if (m_children.empty()) break;
      double v = m_children[0]->evaluateNode(c);
      return stopped(v, c) ? KExprUndefined : -v;
    }
    case kExprPower: case kExprDivide: case kExprMultiply: case kExprAdd: case kExprSubtract:
    case kExprGreater: case kExprLess: case kExprEqual: {
      if (m_children.size() < 2) break;
      if (m_children[0]->isChainLink()) return evaluateChain(c);
      double a = m_children[0]->evaluateNode(c);
      if (stopped(a, c)) return KExprUndefined;
      double b = m_children[1]->evaluateNode(c);
      if (stopped(b, c)) return KExprUndefined;
      return applyInfix(a, b, c);
    }
    case kExprVariable: return lookupVariable(c);
    case kExprNumber: return m_value;
    case kExprFunctionCall: return evaluateCall(c);
    case kExprErrorCall:
      *c.m_errorKind = 2;
      if (m_errorCode != 0) *c.m_errorCode = m_errorCode;
      else *c.m_message = m_errorText;
      return KExprUndefined;
    case kExprNoneCall: return KExprUndefined;
    case kExprIsNumberCall: case kExprIsDefinedCall: {
      if (m_children.empty()) break;
      KFlagDefence suppress(c.m_suppressErrors, true);
      double v = m_children[0]->evaluateNode(c);
      bool ok = !stopped(v, c);
      *c.m_errorCode = 0;
      c.m_message->Empty();
      *c.m_errorKind = 0;
      return ok ? 1.0 : 0.0;
    }
    case kExprConditional: {
      const size_t n = m_children.size();
      if (n < 3 || n % 2 == 0) break;
      for (size_t i = 0; i + 1 < n; i += 2) {
        double cond = m_children[i]->evaluateNode(c);
        if (stopped(cond, c)) return KExprUndefined;
        if (cond != 0.0) return m_children[i + 1]->evaluateNode(c);
      }
      return m_children[n - 1]->evaluateNode(c);
    }
    default: break;
  }
  c.fail(0, KEXPR_BAD_NODE, m_text);
  return KExprUndefined;
}

// A left-associative chain "a+b*c-d..." hangs down its left operands. The
// spine is collected by a loop and applied from its bottom up, so evaluation
// recurses only into right operands, however long the chain.
double KExpr::evaluateChain(KExprContext& c) {
  constexpr size_t kLocal = 16;
  KExpr* local[kLocal];
  std::vector<KExpr*> more;
  size_t n = 0;
  for (KExpr* x = this; x->isChainLink(); x = x->m_children[0], ++n) {
    if (n < kLocal) {
      local[n] = x;
      continue;
    }
    if (n == kLocal) more.assign(local, local + kLocal);
    more.push_back(x);
  }
  KExpr* const* spine = n <= kLocal ? local : more.data();
  double a = spine[n - 1]->m_children[0]->evaluateNode(c);
  if (stopped(a, c)) return KExprUndefined;
  for (size_t i = n; i-- > 0;) {
    KExpr* op = spine[i];
    double b = op->m_children[1]->evaluateNode(c);
    if (stopped(b, c)) return KExprUndefined;
    a = op->applyInfix(a, b, c);
    if (KExprIsUndefined(a)) return a;
  }
  return a;
}

double KExpr::evaluateTop(KExprContext& c) {
  const unsigned long edits = g_exprTreeEdits;
  if (!m_program || m_program->getEdits() != edits) {
    // A tree evaluated once (an entry field) is not worth laying out; nor can
    // a program be replaced while a run of it is still in progress.
    const bool again = m_evaluatedAt == edits;
    m_evaluatedAt = edits;
    if (!again || (m_program && m_program->isRunning())) return evaluateNode(c);
    try {
      m_program = KExprProgram::compile(*this, edits);
    } catch (const std::bad_alloc&) {
      // The flat form is only a faster way; without memory for it the tree serves.
      m_program.reset();
      return evaluateNode(c);
    }
  }
  return m_program->run(c);
}

bool KExpr::evaluate(double* result, KExprContext& c) {
  *c.m_errorKind = 0;
  *c.m_errorCode = 0;
  c.m_message->Empty();
  KFlagDefence evaluating(g_evaluating, true);
  double v = KExprUndefined;
  try {
    v = evaluateTop(c);
  } catch (const KExprException& e) {
    *c.m_errorCode = 0;
    *c.m_message = e.m_message;
  } catch (const KValueExprException& e) {
    *c.m_errorCode = 0;
    c.m_message->Format("%G", e.m_value);
  } catch (...) {
    c.fail(0, KEXPR_UNEXPECTED, m_text);
  }
  if (result) *result = v;
  if (*c.m_errorKind == 2 && *c.m_errorCode != 0) {
    *c.m_message = KExprMessage(static_cast<UINT>(*c.m_errorCode), m_text);
    return true;
  }
  if (*c.m_errorCode == 0) return !c.m_message->IsEmpty();
  *c.m_message = KExprMessage(static_cast<UINT>(*c.m_errorCode), m_text);
  *c.m_errorCode = 0;
  return true;
}

bool KExpr::evaluate(const KExprValues* values, double* result, KString& errorText,
                     KExprValues* undefinedNames, int extra) {
  int errorKind = 0, errorCode = 0;
  // The message text is gathered where the caller wants the error text.
  KString& message = errorText;
  message.Empty();
  KExprContext c;
  c.m_root = this;
  c.m_values = values;
  c.m_errorKind = &errorKind;
  c.m_errorCode = &errorCode;
  c.m_message = &message;
  c.m_extra = extra;
  KFlagDefence evaluating(g_evaluating, true);
  double v = KExprUndefined;
  try {
    v = evaluateTop(c);
  } catch (const KExprException& e) {
    errorCode = 0;
    message = e.m_message;
  } catch (const KValueExprException& e) {
    errorCode = 0;
    message.Format("%G", e.m_value);
  } catch (...) {
    c.fail(0, KEXPR_UNEXPECTED, m_text);
  }
  if (result) *result = v;
  if (errorCode == KEXPR_UNDEFINED && undefinedNames) collectNames(*undefinedNames);
  if (errorCode != 0) errorText = KExprMessage(static_cast<UINT>(errorCode), message);
  return !errorText.IsEmpty();
}

void KExpr::collectNames(KExprValues& names, int guard) const {
  if (guard > KExprMaxDepth) return;
  // A chain's left spine is walked by a loop; its right operands recurse.
  const KExpr* x = this;
  for (; x->isChainLink(); x = x->m_children[0]) x->m_children[1]->collectNames(names, guard + 1);
  if (x->m_kind == kExprIsDefinedCall) return;
  if (x->m_kind == kExprVariable) {
    const KExprValue* pre = KExprValues::predefined().lookup(x->m_name);
    if (!pre) names.addValue(x->m_name, 0.0);
    else if (pre->m_expression) pre->m_expression->collectNames(names, guard + 1);
    return;
  }
  for (KExpr* child : x->m_children) child->collectNames(names, guard + 1);
}
