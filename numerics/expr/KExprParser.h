// Internal to the expression engine: the tokenizer and the operator binding
// that turn a text into the tree under a KExpr. Not for use outside foundation/expr.
#pragma once
#include "numerics/expr/KExpr.h"

#include <vector>

class KExprParser {
 public:
  KExprParser(KExpr& node, bool userLocale, int lengthMode)
      : m_node(node), m_userLocale(userLocale), m_lengthMode(lengthMode) {}
  ~KExprParser();

  // Builds the tree under m_node from `text` (already stored on the node).
  void run(const KString& text);

  // Reads a whole decimal number ("12", "1.5", ".5", "2e-3"; the decimal point
  // by the locale rule); false when the text is anything else.
  static bool readNumber(const KString& text, bool userLocale, double& value);
  // Reads a feet-and-inches length ("5'6\"", "5:6", "6\"", "5'"); false when
  // the text is no such length.
  static bool readLength(const KString& text, bool userLocale, int lengthMode, double& value);
  // Splits call arguments at the separator outside brackets and quotes; false
  // when a quote is not closed.
  static bool splitArguments(const KString& text, char separator, std::vector<KString>& out);
  // The argument separator of the locale rule.
  static char separator(bool userLocale);
  static void trace(const KString& line);
  static bool tracing();

 private:
  void tokenize(const KString& text);
  void pushToken(KExpr* token);
  void bindUnary(const KString& text);
  void bindInfix(const KString& text);

  KExpr& m_node;
  bool m_userLocale;
  int m_lengthMode;
  KExprPointerList<16> m_tokens;  // owned until moved into the tree
};

// Level at which an unbound operator token of `kind` binds (1 tightest .. 4);
// operands and bound nodes answer 5 or more.
int KExprLevel(int kind);
