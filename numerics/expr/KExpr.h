// KExpr: one node of a parsed expression. Parsing builds a tree of nodes under
// a root node; evaluation walks it against a set of named values.
//
//   expression = operand { infix-op operand }      (left-associative; levels
//                                                   1 "^" "**", 2 "*" "/",
//                                                   3 "+" "-", 4 ">" "<" "=")
//   operand    = { "+" | "-" } primary              (unary signs bind tightest:
//                                                   -2^2 is 4)
//   primary    = number | length | name | name "(" args ")" | "(" expression ")"
//   args       = [ expression { separator expression } ]
//
// Parse failures throw KExprException; evaluation failures are reported
// through the context (errorKind, errorCode, message). The undefined value
// (the smallest normal double) stands for "no value" and stops the enclosing
// evaluation without being an error.
//
// Evaluating the same tree again: variable nodes keep the value record they
// found (see lookupVariable), and a tree evaluated a second time with no
// expression parsed in between is laid out flat (KExprProgram) and evaluated
// from that form from then on. A parsed tree is changed only through parse()
// and setKind(); the function bindings set by resolveCall are not changed
// afterwards.
//
// Ownership: a node owns its children (and, while parsing, its token list).
// Nodes come from a block allocator. Trees are nested at most KExprMaxDepth
// levels, so that evaluation and destruction never exhaust the stack. Nesting
// counts what the recursion needs: brackets, calls, unary signs and right
// operands. A left-associative chain ("1+1+...+1") hangs down its left
// operands, and that spine is walked by a loop, so a chain of any length
// nests one level.
#pragma once
#include "core/application/KObject.h"
#include "numerics/expr/KExprChildren.h"
#include "numerics/expr/KExprException.h"

#include <bit>
#include <cfloat>
#include <memory>
#include <vector>

class KExpr;
class KExprProgram;
class KExprValues;
class KMemoryAllocator;
struct KExprValue;
struct KExprContext;

// The undefined value: smallest positive normal double, bit pattern 0x0010000000000000.
constexpr double KExprUndefined = DBL_MIN;
// Compared by bit pattern, which only DBL_MIN has: one integer comparison.
inline bool KExprIsUndefined(double v) { return std::bit_cast<unsigned long long>(v) == 0x0010000000000000ull; }

// Deepest nesting of nodes (brackets, calls, unary signs, right operands).
constexpr int KExprMaxDepth = 500;

typedef double (*KExprUnaryFn)(double);
typedef double (*KExprDyadicFn)(double, double);
typedef double (*KExprNaryFn)(const double*, int);
typedef double (*KExprCustomFn)(KExpr* const* children, int count, KExprContext& context);

enum KExprKind : int {
  kExprRoot = 0, kExprGroup = 1, kExprNegate = 2, kExprPlus = 3, kExprPower = 4,
  kExprDivide = 5, kExprMultiply = 6, kExprAdd = 7, kExprSubtract = 8, kExprGreater = 9,
  kExprLess = 10, kExprEqual = 11, kExprVariable = 12, kExprNumber = 13,
  kExprFunctionCall = 14, kExprUnparsed = 15, kExprNameCall = 16, kExprErrorCall = 17,
  kExprNoneCall = 18, kExprIsNumberCall = 19, kExprIsDefinedCall = 20, kExprConditional = 21
};

// Feet-and-inches entry modes of parse().
enum : int { kExprLengthNone = 0, kExprLengthFeet = 1, kExprLengthInches = 2 };

// Evaluation context passed down the tree.
struct KExprContext {
  KExpr* m_root = nullptr;
  const KExprValues* m_values = nullptr;
  int* m_errorKind = nullptr;   // 0 ordinary error, 1 undefined name, 2 raised by error()
  int* m_errorCode = nullptr;   // string-resource identifier, 0 while no error
  KString* m_message = nullptr; // text argument of the message
  int m_extra = 0;
  bool m_suppressErrors = false;
  bool m_inDyadic = false;
  bool m_inNary = false;
  int m_valueDepth = 0;         // named values being evaluated through their expressions

  bool failed() const { return *m_errorCode != 0 || !m_message->IsEmpty(); }
  void fail(int kind, int code, const KString& message) {
    *m_errorKind = kind;
    *m_errorCode = code;
    *m_message = message;
  }
};

class KExpr : public KObject {
 public:
  explicit KExpr(bool userLocale = false);
  ~KExpr() override;
  KExpr(const KExpr&) = delete;
  KExpr& operator=(const KExpr&) = delete;

  // Nodes come from the expression block allocator.
  static void* operator new(size_t size);
  static void operator delete(void* p, size_t size);
  // The node allocator, built at start-up.
  static KMemoryAllocator& getNodeAllocator();

  // Parses `text` into a tree under this node; throws KExprException.
  // lengthMode: 0 none, 1 feet-and-inches read in feet, 2 read in inches.
  void parse(const KString& text, bool userLocale, int lengthMode);

  // Evaluates with a prepared context; true = failed (the context's message then
  // holds the formatted message text).
  bool evaluate(double* result, KExprContext& context);
  // Evaluates against `values` (may be null). true = failed; errorText holds the
  // message. When a name is undefined and `undefinedNames` is given, every name
  // the tree uses that is not predefined is collected into it.
  bool evaluate(const KExprValues* values, double* result, KString& errorText,
                KExprValues* undefinedNames = nullptr, int extra = 0);

  // Evaluates this node (the recursive step).
  double evaluateNode(KExprContext& context);

  // --- Overridable steps (owners of a tree may supply their own names).
  // Classifies an unparsed operand token: number (13) or variable (12).
  virtual void classifyOperand(int lengthMode);
  // Parses a call token "name(args)".
  virtual void parseCall(int lengthMode);
  // Resolves a call by name; true when the name is no library function.
  virtual bool resolveCall(const KString& name, std::vector<KString>& arguments, int lengthMode);
  // Evaluates a library call (kind 14).
  virtual double evaluateCall(KExprContext& context);
  // Looks up a variable (kind 12). The record found is kept on the node and
  // used again while the same values, unchanged in membership, are passed
  // (KTreeRootBase::getChangeStamp); the record's value and expression are
  // read at every evaluation, so values edited in place are seen.
  virtual double lookupVariable(KExprContext& context);

  int getKind() const { return m_kind; }
  void setKind(int kind);
  // The node's own text: the source text of an operand, call or group, the
  // operator alone for an infix node.
  const KString& getText() const { return m_text; }
  // The source text of the whole subtree (operands put back around operators).
  KString sourceText() const;
  const KString& getName() const { return m_name; }
  const KString& getQualifier() const { return m_qualifier; }
  double getValue() const { return m_value; }
  int getChildCount() const { return static_cast<int>(m_children.size()); }
  KExpr* getChild(int i) const { return m_children[static_cast<size_t>(i)]; }
  KExpr* const* getChildren() const { return m_children.data(); }
  // Recursion depth that evaluating this subtree needs: its height, counting
  // the left operand of an infix node at the level of the node itself.
  int getDepth() const { return m_depth; }

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

  // Is the process inside an evaluation?
  static bool isEvaluating();

  // Names that the tree uses and that are not predefined values, into `names`
  // (arguments of isDefined skipped).
  void collectNames(KExprValues& names, int guard = 0) const;

  // Function-library bindings (set by resolveCall).
  KExprUnaryFn m_unaryFn = nullptr;
  KExprDyadicFn m_dyadicFn = nullptr;
  KExprNaryFn m_naryFn = nullptr;
  KExprCustomFn m_customFn = nullptr;
  int m_errorCode = 0;          // code given to error(), 0 when none
  KString m_errorText;          // text given to error("...")

 private:
  friend class KExprParser;
  friend class KExprProgram;
  // Evaluates this node as the top of an evaluation, in a context that has
  // not failed: from its flat form when it has a current one, else through
  // evaluateNode.
  double evaluateTop(KExprContext& context);
  void clearTree();
  void addChild(KExpr* child);
  void updateDepth();
  // An infix node with both operands: a link of a chain's left spine.
  bool isChainLink() const { return m_kind >= kExprPower && m_kind <= kExprEqual && m_children.size() == 2; }
  double evaluateChain(KExprContext& context);
  double applyInfix(double a, double b, KExprContext& context);
  void unbind() { m_bound = nullptr; m_boundValues = nullptr; m_boundStamp = 0; }

  // The flat token list exists only while a node is parsed; the parser keeps
  // it on its own stack, so a parsed node carries only its children.
  KExprChildren m_children;  // operands, owned
  int m_kind = kExprUnparsed;
  int m_depth = 1;
  KString m_name;
  KString m_qualifier;
  KString m_text;
  double m_value = 1.0;
  bool m_userLocale;
  // The binding of a variable node: the record found through m_boundValues
  // (null: no caller values) while its change stamp was m_boundStamp.
  const KExprValue* m_bound = nullptr;
  const KExprValues* m_boundValues = nullptr;
  unsigned long long m_boundStamp = 0;
  // The flat form, when this node was evaluated as a top again; the tree edit
  // count (KExprProgram.h) at its last evaluation as a top.
  std::unique_ptr<KExprProgram> m_program;
  unsigned long m_evaluatedAt = ~0ul;
};
