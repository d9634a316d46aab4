// KOption<T>: the stored option record of the options store (T = long,
// double, KString, bool), a plain copyable value ordered by its name.
//
// Names compare case-insensitively under the application's comparison locale,
// so two records whose names differ only in letter case are the same option.
// KOptionTraits<T> carries the per-type vocabulary: the type letter, the
// column word of older stored forms and the registry subkey word.
#pragma once
#include "platform/KString.h"

// Case-insensitive comparison of option names under the application's
// comparison locale: -1 less, 0 equal, 1 greater; 0 when the comparison
// itself fails.
int compareOptionNames(const KString& a, const KString& b);

template <class T>
struct KOption {
  KString m_name;
  long m_keyId = 0;
  T m_value{};
  T m_defaultValue{};
  T m_firstSaveValue{};
  bool m_visible = false;
  bool m_stored = false;

  int compare(const KOption& other) const { return compareOptionNames(m_name, other.m_name); }
  bool operator<(const KOption& other) const { return compare(other) < 0; }
  bool sameName(const KOption& other) const { return compare(other) == 0; }
};

template <class T>
struct KOptionTraits;
template <>
struct KOptionTraits<long> {
  static constexpr char letter = 'I';
  static constexpr const char* columnWord = "Integer";
  static constexpr const char* registryWord = "int";
};
template <>
struct KOptionTraits<double> {
  static constexpr char letter = 'R';
  static constexpr const char* columnWord = "Double";
  static constexpr const char* registryWord = "real";
};
template <>
struct KOptionTraits<KString> {
  static constexpr char letter = 'S';
  static constexpr const char* columnWord = "String";
  static constexpr const char* registryWord = "string";
};
template <>
struct KOptionTraits<bool> {
  static constexpr char letter = 'B';
  static constexpr const char* columnWord = "Boolean";
  static constexpr const char* registryWord = "boolean";
};
