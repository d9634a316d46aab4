// KExprProgram: the flat form of a parsed tree, for expressions that are
// evaluated again and again. The nodes are laid out in evaluation order
// (operands before their operator) as steps over a small stack of values,
// so that evaluation walks an array instead of recursing through the tree.
//
// Equivalence with KExpr::evaluateNode, which the program replaces only where
// it answers exactly alike:
//   - Only strict nodes become steps: numbers, variables, unary signs, infix
//     operators and calls of one-argument and n-argument library functions.
//     Each of these stops as soon as an operand stops (yields the undefined
//     value or leaves the context failed), so a program stops at the first
//     step that stops. The steps run in the order the tree evaluates them, so
//     the same steps run before that.
//   - Groups, roots, unary plus and name calls only hand their operand on, so
//     they take no step; when the stopping step is the last one, its value is
//     what the tree would answer too, otherwise the program answers the
//     undefined value as the strict operator above it would.
//   - Every other node (if, case, isnumber, isDefined, error, none, two-
//     argument calls with their short circuits, callbacks, nodes of classes
//     that supply their own look-up or call evaluation, malformed nodes) is
//     one step that evaluates its subtree with evaluateNode.
//
// A program points into the tree it was made from. It is valid while no
// expression tree in the process has been parsed or re-kinded since
// (g_exprTreeEdits): nodes leave a tree only through parse(). The owner checks
// that before running it.
#pragma once
#include "numerics/expr/KExpr.h"

#include <memory>
#include <vector>

// Counts the edits of expression trees (parse, setKind) in the process.
extern unsigned long g_exprTreeEdits;

class KExprProgram {
 public:
  // Values a program may hold at once; deeper trees are evaluated as trees.
  static constexpr int kStackSize = 32;

  // The program of the tree under `root`, made at edit count `edits`.
  static std::unique_ptr<KExprProgram> compile(KExpr& root, unsigned long edits);

  // Evaluates as root.evaluateNode(context) would.
  double run(KExprContext& context) const;

  unsigned long getEdits() const { return m_edits; }
  // Is a run of this program in progress (perhaps further up the stack)?
  bool isRunning() const { return m_runs != 0; }

 private:
  // The value on top of the stack lives in a register during a run; a step
  // that loads a value pushes it down first. An infix step takes its right
  // operand from the stack, from the step itself (a number) or from a
  // variable node, so that the commonest operands cost no step of their own.
  struct Step {
    int m_op;
    int m_count;  // operands an n-argument call takes
    KExpr* m_node;
    union {
      double m_value;        // a number, or the number right of an infix operator
      KExpr* m_operand;      // the variable of a variable step or right of an infix operator
      KExprUnaryFn m_unary;
      KExprNaryFn m_nary;
    };
  };
  KExprProgram() = default;
  void emit(KExpr* node, int height);
  void emitInfix(KExpr* node, int height);
  void emitOperator(KExpr* node, int height);
  Step& push(int op, KExpr* node, int taken);
  // The value of the variable step `s`; true when the look-up stopped.
  static bool lookup(const Step& s, KExprContext& context, double& value);

  std::vector<Step> m_steps;
  unsigned long m_edits = 0;
  int m_height = 0;     // values on the stack after the steps emitted so far
  int m_maxHeight = 0;
  bool m_tooDeep = false;
  mutable int m_runs = 0;
};
