// The exceptions of the expression engine, thrown by value and caught by
// reference at the engine's entry points, which turn them into a "failed"
// result with a message text.
#pragma once
#include "platform/KString.h"

// A parse or evaluation failure: kind 1, a message formatted from a string
// resource identifier and one text argument (normally the expression text).
struct KExprException {
  int m_kind = 1;
  KString m_message;
  int m_extra = 0;
  // The identifier the message was made from (0 when made from a text).
  UINT m_id = 0;

  KExprException() = default;
  KExprException(UINT messageId, const char* argument);
};

// Thrown by the table function pwlt when its argument lies outside the table,
// carrying the table's end value.
struct KValueExprException {
  double m_value;
};

// Message identifiers of the expression engine (texts in the resource libraries).
enum : UINT {
  KEXPR_DIVIDE_BY_ZERO = 10597,
  KEXPR_EMPTY = 10707,
  KEXPR_BAD_OPERAND = 12041,
  KEXPR_UNEXPECTED = 12451,
  KEXPR_BRACKETS = 12517,
  KEXPR_BAD_NODE = 14110,
  KEXPR_SYNTAX = 14112,
  KEXPR_UNDEFINED = 14375,
  KEXPR_ARG_COUNT = 15834,
  KEXPR_UNITS_MIX = 24701,
  // Our own: nesting beyond what the engine evaluates safely, and a named value
  // whose defining expression refers back to itself.
  KEXPR_TOO_DEEP = 61200,
  KEXPR_CIRCULAR = 61201
};

// The message text of `id` formatted with `argument` ("%s" in the text); when no
// resource library holds the identifier, a plain English fallback is used so
// that a failure never reads as an empty message.
KString KExprMessage(UINT id, const char* argument);
