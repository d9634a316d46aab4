// One entry of the "values" array with which a model file carries its
// options:
//
//   opt<L>{<name>}{<keyId>}{<value>}{<default>}{<visible>}
//
//   L        type letter: I integer, R real, S string, B boolean
//   keyId    decimal, 32-bit signed
//   value,   I: decimal digits with "-" for negatives
//   default  R: the 20-digit number text (exact; "N/A" for no value)
//            S: the text between two added double quotes, nothing escaped
//            B: "true" or "false"
//   visible  0 or 1
//
// Reading is robust to braces inside names and string values: the entry is
// taken apart from both ends (the visible flag at the end; the name ends at
// the first "}{" that a whole keyId and "}{" follow), and the string fields
// are split at a quote-brace-brace-quote sequence; only a value that itself holds that exact sequence is
// ambiguous (then the split that makes value and default equal is taken,
// else the first).
#pragma once
#include "containers/options/KOption.h"
#include "platform/KString.h"

struct KOptionEntry {
  char m_type = 0;
  KString m_name;
  long m_keyId = 0;
  KString m_value;    // field texts; strings without their quotes
  KString m_default;
  bool m_visible = false;
};

// Splits `text` into its fields. Answers false when it is not an entry;
// `nameRead` tells whether the name at least could be read (for the
// warning that names the option).
bool parseOptionEntry(const char* text, size_t length, KOptionEntry& out, bool& nameRead);

// Field texts into values; false when the text is not a whole value of the type.
bool optionValueFromText(const KString& text, long& out);
bool optionValueFromText(const KString& text, double& out);
bool optionValueFromText(const KString& text, KString& out);
bool optionValueFromText(const KString& text, bool& out);

// The entry text of a record.
template <class T>
KString optionEntryText(const KOption<T>& record);
