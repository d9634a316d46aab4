#include "numerics/expr/KExprParser.h"

#include "core/application/KApplicationAbstract.h"
#include "containers/options/KLibraryOptions.h"
#include "platform/KLocale.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {
// Parse nesting across recursive parses (groups and call arguments).
int g_parseDepth = 0;

struct ParseDepthGuard {
  explicit ParseDepthGuard(const KString& text) {
    if (++g_parseDepth > KExprMaxDepth) {
      --g_parseDepth;
      throw KExprException(KEXPR_TOO_DEEP, text);
    }
  }
  ~ParseDepthGuard() { --g_parseDepth; }
};

bool isOperatorKind(int kind) { return kind >= kExprPower && kind <= kExprEqual; }

KString trimmed(const KString& s) {
  KString t(s);
  t.Trim();
  return t;
}

char decimalPoint(bool userLocale) {
  if (!userLocale) return '.';
  KString p = KUserDecimalPoint();
  return p.IsEmpty() ? '.' : p[0];
}
}  // namespace

int KExprLevel(int kind) {
  switch (kind) {
    case kExprRoot: case kExprGroup: case kExprNegate: case kExprPlus:
    case kExprNameCall: case kExprErrorCall: case kExprNoneCall: return 0;
    case kExprPower: return 1;
    case kExprDivide: case kExprMultiply: return 2;
    case kExprAdd: case kExprSubtract: return 3;
    case kExprGreater: case kExprLess: case kExprEqual: return 4;
    case kExprVariable: case kExprNumber: case kExprFunctionCall:
    case kExprIsNumberCall: case kExprIsDefinedCall: case kExprConditional: return 5;
    default: return 6;
  }
}

bool KExprParser::tracing() { return exprDebugOption().value(); }

void KExprParser::trace(const KString& line) { KGetApplication()->OutputLine(line); }

char KExprParser::separator(bool userLocale) {
  if (!userLocale) return ',';
  KString s = KUserListSeparator();
  return s.IsEmpty() ? ',' : s[0];
}

KExprParser::~KExprParser() {
  for (KExpr* t : m_tokens) delete t;
}

// number = digits [ point [ digits ] ] [ exponent ] | point digits [ exponent ]
// exponent = ("e" | "E") [ "+" | "-" ] digits
bool KExprParser::readNumber(const KString& text, bool userLocale, double& value) {
  const char point = decimalPoint(userLocale);
  const int n = text.GetLength();
  if (n == 0 || n > 400) return false;
  char buf[402];
  int i = 0, digits = 0;
  while (i < n && isdigit(static_cast<unsigned char>(text[i]))) buf[i] = text[i], ++i, ++digits;
  if (i < n && text[i] == point) {
    buf[i] = '.';
    ++i;
    while (i < n && isdigit(static_cast<unsigned char>(text[i]))) buf[i] = text[i], ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    buf[i] = 'e';
    ++i;
    if (i < n && (text[i] == '+' || text[i] == '-')) buf[i] = text[i], ++i;
    int expDigits = 0;
    while (i < n && isdigit(static_cast<unsigned char>(text[i]))) buf[i] = text[i], ++i, ++expDigits;
    if (expDigits == 0) return false;
  }
  if (i != n) return false;
  // from_chars reads the exact, correctly rounded value whatever the C locale.
  auto r = std::from_chars(buf, buf + n, value);
  if (r.ec == std::errc::result_out_of_range) {
    // Beyond the double range: infinity or zero, as strtod answers.
    const char* e = static_cast<const char*>(memchr(buf, 'e', static_cast<size_t>(n)));
    value = (e && e[1] == '-') ? 0.0 : HUGE_VAL;
    return true;
  }
  return r.ec == std::errc() && r.ptr == buf + n;
}

// length = [ feet ] ( "'" | ":" ) [ inches ] [ '"' ]  |  inches '"'
// (a closing '"' only as the last character and not after ":")
bool KExprParser::readLength(const KString& text, bool userLocale, int lengthMode, double& value) {
  if (lengthMode != kExprLengthFeet && lengthMode != kExprLengthInches) return false;
  KString body(text);
  bool quote = false;
  int q = body.Find('"');
  if (q >= 0) {
    if (q != body.GetLength() - 1) return false;
    quote = true;
    body = body.Left(q);
  }
  int apos = body.Find('\'');
  int colon = body.Find(':');
  if (apos >= 0 && colon >= 0) return false;
  int sep = apos >= 0 ? apos : colon;
  if (sep >= 0 && body.Find(body[sep], sep + 1) >= 0) return false;
  if (colon >= 0 && quote) return false;
  if (sep < 0 && !quote) return false;
  KString feetText = sep >= 0 ? trimmed(body.Left(sep)) : KString();
  KString inchText = trimmed(sep >= 0 ? body.Mid(sep + 1) : body);
  double feet = 0.0, inches = 0.0;
  if (!feetText.IsEmpty() && !readNumber(feetText, userLocale, feet)) return false;
  if (!inchText.IsEmpty() && !readNumber(inchText, userLocale, inches)) return false;
  value = lengthMode == kExprLengthFeet ? feet + inches / 12.0 : feet * 12.0 + inches;
  return true;
}

// A double quote opens quoted text only where an argument or a bracketed
// list starts (after "(", the separator or nothing but blanks); elsewhere it
// is the inch mark of a length ("abs(5'6\")").
bool KExprParser::splitArguments(const KString& text, char separator, std::vector<KString>& out) {
  out.clear();
  if (trimmed(text).IsEmpty()) return true;
  int depth = 0;
  bool quoted = false;
  char last = separator;  // last non-blank character outside quotes
  KString current;
  for (int i = 0; i < text.GetLength(); ++i) {
    char c = text[i];
    if (quoted) {
      if (c == '"') quoted = false;
    } else if (c == '"' && (last == separator || last == '(')) {
      quoted = true;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      --depth;
    } else if (depth == 0 && c == separator) {
      out.push_back(current);
      current.Empty();
      last = separator;
      continue;
    }
    if (!quoted && c != ' ' && c != '\t') last = c;
    current += c;
  }
  if (quoted || depth != 0) return false;
  out.push_back(current);
  return true;
}

void KExprParser::pushToken(KExpr* token) { m_tokens.push_back(token); }

// Cuts the text into operand, group, call and operator tokens (see KExpr.h).
void KExprParser::tokenize(const KString& text) {
  int open = 0, close = 0, depth = 0, maxDepth = 0;
  for (int i = 0; i < text.GetLength(); ++i) {
    if (text[i] == '(') maxDepth = std::max(maxDepth, ++depth), ++open;
    else if (text[i] == ')') --depth, ++close;
  }
  if (open != close) throw KExprException(KEXPR_BRACKETS, text);
  if (maxDepth + g_parseDepth > KExprMaxDepth) throw KExprException(KEXPR_TOO_DEEP, text);

  KExpr* cur = new KExpr(m_userLocale);
  KString curText;
  bool operandExpected = true;
  depth = 0;
  auto closeOperand = [&]() {
    cur->m_text = curText;
    pushToken(cur);
    cur = nullptr;  // in case the next allocation throws
    cur = new KExpr(m_userLocale);
    curText.Empty();
  };
  auto operatorToken = [&](int kind, const char* op) {
    if (operandExpected) {
      if (kind == kExprSubtract || kind == kExprAdd) {
        KExpr* unary = new KExpr(m_userLocale);
        unary->m_kind = kind == kExprSubtract ? kExprNegate : kExprPlus;
        unary->m_text = op;
        pushToken(unary);
        return;
      }
      throw KExprException(KEXPR_SYNTAX, text);
    }
    closeOperand();
    KExpr* token = new KExpr(m_userLocale);
    token->m_kind = kind;
    token->m_text = op;
    pushToken(token);
    operandExpected = true;
  };
  try {
    for (int i = 0; i < text.GetLength(); ++i) {
      const char c = text[i];
      if (depth > 0) {
        curText += c;
        if (c == '(') ++depth;
        else if (c == ')') --depth;
        continue;
      }
      switch (c) {
        case ' ': case '\t':
          if (!curText.IsEmpty()) curText += c;
          break;
        case '(':
          cur->m_kind = curText.IsEmpty() ? kExprGroup : kExprFunctionCall;
          curText += c;
          ++depth;
          operandExpected = false;
          break;
        case '+': case '-': {
          int n = curText.GetLength();
          double ignored;
          // In a feet-and-inches length the inches may carry an exponent
          // ("5' 1.5E-3\""): the number before it starts after the separator.
          KString mantissa = curText.Left(n - 1);
          int sep = std::max(mantissa.ReverseFind('\''), mantissa.ReverseFind(':'));
          if (m_lengthMode != kExprLengthNone && sep >= 0) mantissa = trimmed(mantissa.Mid(sep + 1));
          if (n > 1 && (curText[n - 1] == 'e' || curText[n - 1] == 'E') &&
              readNumber(mantissa, m_userLocale, ignored)) {
            curText += c;
          } else {
            operatorToken(c == '+' ? kExprAdd : kExprSubtract, c == '+' ? "+" : "-");
          }
          break;
        }
        case '*':
          if (i + 1 < text.GetLength() && text[i + 1] == '*') { operatorToken(kExprPower, "**"); ++i; }
          else operatorToken(kExprMultiply, "*");
          break;
        case '/': operatorToken(kExprDivide, "/"); break;
        case '<': operatorToken(kExprLess, "<"); break;
        case '=': operatorToken(kExprEqual, "="); break;
        case '>': operatorToken(kExprGreater, ">"); break;
        case '^': operatorToken(kExprPower, "^"); break;
        default:
          curText += c;
          operandExpected = false;
      }
    }
    if (!curText.IsEmpty() || cur->m_kind != kExprUnparsed) closeOperand();
  } catch (...) {
    delete cur;
    throw;
  }
  delete cur;
}

// Unary signs take the token that follows them. Runs of signs bind from the
// right, so that "--2" is 2 and "-+2" is -2: each sign has its operand before
// the sign in front of it takes it. One pass from the right compacts the list
// into its tail [kept, size), so that long lists bind in linear time.
void KExprParser::bindUnary(const KString& text) {
  const size_t size = m_tokens.size();
  size_t kept = size;
  // On failure the tokens between the unscanned head and the compacted tail
  // are stale (moved into a node or into the tail) and leave the list.
  auto fail = [&](size_t staleFrom) {
    m_tokens.erase(m_tokens.begin() + static_cast<long>(staleFrom), m_tokens.begin() + static_cast<long>(kept));
  };
  for (size_t i = size; i-- > 0;) {
    KExpr* t = m_tokens[i];
    if ((t->m_kind != kExprNegate && t->m_kind != kExprPlus) || !t->m_children.empty()) {
      m_tokens[--kept] = t;
      continue;
    }
    if (kept >= size) {
      if (tracing()) trace("error processing unary operator in " + text);
      fail(i + 1);
      throw KExprException(KEXPR_SYNTAX, text);
    }
    KExpr* operand = m_tokens[kept];
    t->addChild(operand);
    t->m_text += operand->m_text;
    m_tokens[kept] = t;
    if (t->m_depth > KExprMaxDepth) {
      fail(i);
      throw KExprException(KEXPR_TOO_DEEP, text);
    }
  }
  m_tokens.erase(m_tokens.begin(), m_tokens.begin() + static_cast<long>(kept));
}

// Infix operators bind level by level, left to right, so every operator is
// left-associative ("2^3^2" is 64). Each level is one pass that compacts the
// list into its head [0, kept); the trace reports the positions and counts
// of the list as if it closed up after every binding.
void KExprParser::bindInfix(const KString& text) {
  const bool tr = tracing();
  KString line;
  if (tr) {
    trace("processing " + text);
    line.Format("getSize %d", static_cast<int>(m_tokens.size())); trace(line);
    line.Format("size %d", static_cast<int>(m_tokens.size())); trace(line);
  }
  for (int level = 1; level <= 4; ++level) {
    if (tr) { line.Format("trying1 i %d", level); trace(line); }
    const size_t size = m_tokens.size();
    size_t kept = 0, j = 0;
    // On failure the tokens between the compacted head and the unscanned
    // tail are stale and leave the list.
    auto fail = [&](size_t staleTo, int code) {
      m_tokens.erase(m_tokens.begin() + static_cast<long>(kept), m_tokens.begin() + static_cast<long>(staleTo));
      throw KExprException(code, text);
    };
    for (; j < size; ++j) {
      KExpr* t = m_tokens[j];
      const int pos = static_cast<int>(kept), count = static_cast<int>(kept + size - j);
      const int gtSize = j + 1 >= size ? 1 : 0, leZero = kept == 0 ? 1 : 0;
      if (tr) {
        line.Format("trying2 i %d j %d size %d", level, pos, count); trace(line);
        line.Format("trying2 gtSize %d leZero %d", gtSize, leZero); trace(line);
      }
      if (!isOperatorKind(t->m_kind) || !t->m_children.empty() || KExprLevel(t->m_kind) != level) {
        m_tokens[kept++] = t;
        continue;
      }
      if (tr) {
        line.Format("trying3 i %d j %d size %d", level, pos, count); trace(line);
        line.Format("trying3 gtSize %d leZero %d", gtSize, leZero); trace(line);
      }
      if (gtSize || leZero) {
        if (tr) {
          line.Format("gtSize || leZero when i %d j %d size %d", level, pos, count); trace(line);
          trace("error processing binary operator in " + text);
        }
        fail(j, KEXPR_SYNTAX);
      }
      t->addChild(m_tokens[kept - 1]);
      t->addChild(m_tokens[j + 1]);
      m_tokens[kept - 1] = t;
      ++j;  // the right operand now belongs to t
      // An operator node keeps only its operator as text; sourceText() puts
      // the operands back around it when a message needs the whole text, so
      // binding a long chain stays linear.
      if (tr) {
        line.Format("OK when i %d j %d size %d", level, pos, count); trace(line);
        line.Format("after decr j %d", pos - 1); trace(line);
        line.Format("after incr j %d", pos); trace(line);
      }
      if (t->m_depth > KExprMaxDepth) fail(j + 1, KEXPR_TOO_DEEP);
    }
    m_tokens.resize(kept);
  }
}

void KExprParser::run(const KString& text) {
  ParseDepthGuard guard(text);
  tokenize(text);
  if (m_tokens.empty()) throw KExprException(KEXPR_EMPTY, text);
  for (KExpr* t : m_tokens) {
    t->m_text.Trim();
    switch (t->m_kind) {
      case kExprGroup: {
        // "(" opened the token, so it also closes it unless text follows the
        // bracket ("(1)2"), which is a syntax error rather than ignored text.
        const KString groupText = t->m_text;
        if (groupText[groupText.GetLength() - 1] != ')') throw KExprException(KEXPR_SYNTAX, text);
        t->parse(groupText.Mid(1, groupText.GetLength() - 2), m_userLocale, m_lengthMode);
        t->m_text = groupText;
        break;
      }
      case kExprFunctionCall: t->parseCall(m_lengthMode); break;
      case kExprUnparsed: t->classifyOperand(m_lengthMode); break;
      default: break;
    }
  }
  bindUnary(text);
  bindInfix(text);
  if (m_tokens.empty()) {
    if (tracing()) trace("error size < 1 in " + text);
    throw KExprException(KEXPR_SYNTAX, text);
  }
  if (m_tokens.size() > 1) {
    if (tracing()) trace("error size > 1 in " + text);
    throw KExprException(KEXPR_SYNTAX, text);
  }
  if (m_node.m_kind != kExprGroup) m_node.m_kind = kExprRoot;
  m_node.addChild(m_tokens.front());
  m_tokens.clear();
  if (m_node.m_depth > KExprMaxDepth) throw KExprException(KEXPR_TOO_DEEP, text);
}
