#include "numerics/expr/KExprProgram.h"

#include "numerics/expr/KExprFunctions.h"
#include "numerics/expr/KExprValues.h"

#include <typeinfo>

unsigned long g_exprTreeEdits = 0;

namespace {
// Step codes. The infix operators take three codes each, in the order of
// their node kinds (power first): right operand from the stack, a number,
// a variable.
enum Op : int { kEnd, kNumber, kVariable, kTree, kNegate, kSquare, kUnary, kNary, kInfix };
constexpr int kFromNumber = 1, kFromVariable = 2;

struct RunCount {
  explicit RunCount(int& runs) : m_runs(runs) { ++m_runs; }
  ~RunCount() { --m_runs; }
  int& m_runs;
};

bool handsOn(const KExpr* node) {
  const int kind = node->getKind();
  return (kind == kExprRoot || kind == kExprGroup || kind == kExprPlus || kind == kExprNameCall) &&
         node->getChildCount() > 0;
}

// An infix node with both operands: its left operand may continue the chain.
bool chainLink(const KExpr* node) {
  return node->getKind() >= kExprPower && node->getKind() <= kExprEqual && node->getChildCount() == 2;
}

// A node whose look-up and call evaluation are the library's own.
bool plain(const KExpr* node) { return typeid(*node) == typeid(KExpr); }

double divideByZero(KExprContext& c, const KExpr* node) {
  c.fail(0, KEXPR_DIVIDE_BY_ZERO, node->sourceText());
  return KExprUndefined;
}
}  // namespace

std::unique_ptr<KExprProgram> KExprProgram::compile(KExpr& root, unsigned long edits) {
  std::unique_ptr<KExprProgram> p(new KExprProgram);
  p->m_edits = edits;
  p->emit(&root, 0);
  // The stack also holds the register's value when an n-argument call lays
  // out its operands, hence one place to spare.
  if (p->m_tooDeep || p->m_maxHeight >= kStackSize) {
    p->m_steps.clear();
    p->push(kTree, &root, 0);
  }
  p->push(kEnd, nullptr, 0);
  return p;
}

KExprProgram::Step& KExprProgram::push(int op, KExpr* node, int taken) {
  Step s;
  s.m_op = op;
  s.m_count = taken;
  s.m_node = node;
  s.m_value = 0.0;
  m_steps.push_back(s);
  m_height += 1 - taken;
  if (m_height > m_maxHeight) m_maxHeight = m_height;
  return m_steps.back();
}

// Lays out the subtree under `node` in evaluation order; `height` counts the
// nodes above it (the parser keeps trees shallower than KExprMaxDepth).
void KExprProgram::emit(KExpr* node, int height) {
  if (height > KExprMaxDepth) {
    m_tooDeep = true;
    return;
  }
  const KExprChildren& children = node->m_children;
  switch (node->m_kind) {
    case kExprRoot: case kExprGroup: case kExprPlus: case kExprNameCall:
      if (children.empty()) break;
      emit(children[0], height + 1);
      return;
    case kExprNegate:
      if (children.empty()) break;
      emit(children[0], height + 1);
      push(kNegate, node, 1);
      return;
    case kExprPower: case kExprDivide: case kExprMultiply: case kExprAdd: case kExprSubtract:
    case kExprGreater: case kExprLess: case kExprEqual:
      if (children.size() < 2) break;
      emitInfix(node, height);
      return;
    case kExprNumber:
      if (KExprIsUndefined(node->m_value)) break;  // stops; the tree step says so
      push(kNumber, node, 0).m_value = node->m_value;
      return;
    case kExprVariable:
      if (!plain(node)) break;
      push(kVariable, node, 0).m_operand = node;
      return;
    case kExprFunctionCall:
      // The order of KExpr::evaluateCall: one-argument, two-argument, n-argument.
      if (!plain(node) || children.empty()) break;
      if (node->m_unaryFn) {
        emit(children[0], height + 1);
        push(kUnary, node, 1).m_unary = node->m_unaryFn;
        return;
      }
      if ((node->m_dyadicFn && children.size() >= 2) || !node->m_naryFn) break;
      for (KExpr* child : children) emit(child, height + 1);
      push(kNary, node, static_cast<int>(children.size())).m_nary = node->m_naryFn;
      return;
    default: break;
  }
  push(kTree, node, 0);
}

// A chain "a+b*c-d..." hangs down its left operands; its spine is laid out by
// a loop, bottom up, as KExpr::evaluateChain walks it, so a chain of any
// length costs no recursion here either.
void KExprProgram::emitInfix(KExpr* node, int height) {
  std::vector<KExpr*> spine;
  for (KExpr* x = node; chainLink(x); x = x->m_children[0]) spine.push_back(x);
  if (spine.empty()) spine.push_back(node);  // more than two operands: only the first two count
  emit(spine.back()->m_children[0], height + 1);
  for (size_t i = spine.size(); i-- > 0;) emitOperator(spine[i], height);
}

// The right operand of the infix `node` and the operator itself.
void KExprProgram::emitOperator(KExpr* node, int height) {
  const int op = kInfix + 3 * (node->m_kind - kExprPower);
  const KExpr* right = node->m_children[1];
  while (handsOn(right)) right = right->getChild(0);
  if (right->m_kind == kExprNumber && !KExprIsUndefined(right->m_value)) {
    // The library's power squares by one multiplication.
    if (node->m_kind == kExprPower && right->m_value == 2.0) push(kSquare, node, 1);
    else push(op + kFromNumber, node, 1).m_value = right->m_value;
    return;
  }
  if (right->m_kind == kExprVariable && plain(right)) {
    push(op + kFromVariable, node, 1).m_operand = const_cast<KExpr*>(right);
    return;
  }
  emit(node->m_children[1], height + 1);
  push(op, node, 2);
}

// The binding check of KExpr::lookupVariable, inline; the look-up itself out of line.
inline bool KExprProgram::lookup(const Step& s, KExprContext& c, double& value) {
  KExpr* n = s.m_operand;
  const KExprValues* values = c.m_values;
  const KExprValue* bound = n->m_bound;
  // The record may be gone unless the stamp still holds: test that first.
  if (bound && n->m_boundValues == values && n->m_boundStamp == (values ? values->getChangeStamp() : 0) &&
      !bound->m_expression) {
    value = bound->m_value;
    return KExprIsUndefined(value);
  }
  value = n->KExpr::lookupVariable(c);
  return KExprIsUndefined(value) || c.failed();
}

// Three cases per infix operator: `a` and `b` are its operands, `formula` its value.
#define KEXPR_INFIX(index, formula)                 \
  case kInfix + 3 * (index): {                      \
    const double a = *--top, b = acc;               \
    acc = (formula);                                \
    break;                                          \
  }                                                 \
  case kInfix + 3 * (index) + kFromNumber: {        \
    const double a = acc, b = s->m_value;           \
    acc = (formula);                                \
    break;                                          \
  }                                                 \
  case kInfix + 3 * (index) + kFromVariable: {      \
    double b;                                       \
    if (lookup(*s, c, b)) {                         \
      acc = KExprUndefined;                         \
      goto stopped;                                 \
    }                                               \
    const double a = acc;                           \
    acc = (formula);                                \
    break;                                          \
  }

double KExprProgram::run(KExprContext& c) const {
  RunCount running(m_runs);
  double stack[kStackSize];
  double* top = stack;  // the register's value is pushed here by the next load
  double acc = 0.0;
  const Step* s = m_steps.data();
  for (;; ++s) {
    switch (s->m_op) {
      case kEnd: return acc;
      case kNumber:
        *top++ = acc;
        acc = s->m_value;
        continue;
      case kVariable:
        *top++ = acc;
        if (lookup(*s, c, acc)) goto stopped;
        continue;
      case kTree:
        *top++ = acc;
        acc = s->m_node->evaluateNode(c);
        if (KExprIsUndefined(acc) || c.failed()) goto stopped;
        continue;
      case kNegate: acc = -acc; break;
      case kSquare: acc *= acc; break;
      case kUnary: acc = s->m_unary(acc); break;
      case kNary:
        *top = acc;
        top -= s->m_count - 1;
        acc = s->m_nary(top, s->m_count);
        break;
      KEXPR_INFIX(kExprPower - kExprPower, KExprPow(a, b))
      KEXPR_INFIX(kExprDivide - kExprPower, b == 0.0 ? divideByZero(c, s->m_node) : a / b)
      KEXPR_INFIX(kExprMultiply - kExprPower, a * b)
      KEXPR_INFIX(kExprAdd - kExprPower, a + b)
      KEXPR_INFIX(kExprSubtract - kExprPower, a - b)
      KEXPR_INFIX(kExprGreater - kExprPower, a > b ? 1.0 : 0.0)
      KEXPR_INFIX(kExprLess - kExprPower, a < b ? 1.0 : 0.0)
      KEXPR_INFIX(kExprEqual - kExprPower, a == b ? 1.0 : 0.0)
      default: __builtin_unreachable();
    }
    if (KExprIsUndefined(acc)) goto stopped;
  }
stopped:
  // Only a step whose value the nodes above merely hand on answers it.
  return s[1].m_op == kEnd ? acc : KExprUndefined;
}
#undef KEXPR_INFIX
