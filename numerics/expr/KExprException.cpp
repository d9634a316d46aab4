#include "numerics/expr/KExprException.h"

#include "platform/KResources.h"

namespace {
// Fallbacks for a program that attached no resource library; the resource
// libraries hold the same texts.
const char* fallbackText(UINT id) {
  switch (id) {
    case KEXPR_DIVIDE_BY_ZERO: return "Division by zero in %s";
    case KEXPR_EMPTY: return "The expression %s is empty";
    case KEXPR_BAD_OPERAND: return "%s is neither a number nor a name";
    case KEXPR_UNEXPECTED: return "Unexpected error while evaluating %s";
    case KEXPR_BRACKETS: return "Brackets do not match in %s";
    case KEXPR_BAD_NODE: return "Cannot evaluate %s";
    case KEXPR_SYNTAX: return "Syntax error in %s";
    case KEXPR_UNDEFINED: return "%s is not defined";
    case KEXPR_ARG_COUNT: return "Wrong number of arguments in %s";
    case KEXPR_UNITS_MIX: return "Ambiguous mix of units and arithmetic operations";
    case KEXPR_TOO_DEEP: return "The expression %s is nested too deeply";
    case KEXPR_CIRCULAR: return "%s is defined in terms of itself";
    default: return "Error %s";
  }
}
}  // namespace

KString KExprMessage(UINT id, const char* argument) {
  const char* text = AfxFindStringResource(id);
  if (!text) text = fallbackText(id);
  // Substitute by hand rather than through printf: a resource text is data, and
  // a stray conversion in it must not read arguments that were never passed.
  KString message;
  for (const char* p = text; *p; ++p) {
    if (p[0] == '%' && p[1] == 's') { message += argument ? argument : ""; ++p; }
    else if (p[0] == '%' && p[1] == '%') { message += '%'; ++p; }
    else message += *p;
  }
  return message;
}

KExprException::KExprException(UINT messageId, const char* argument)
    : m_message(KExprMessage(messageId, argument)), m_id(messageId) {}
