// KFileTypeInfo: one file type a file dialog accepts: the program's identifier
// for it, the description shown in the type list, its wildcard patterns
// ("*.mdl;*.bak") and the default extension taken from the first pattern.
#pragma once
#include "core/application/KObject.h"

class KFileTypeInfo : public KObject {
 public:
  KFileTypeInfo(int id, const char* description, const char* pattern);

  int getId() const { return m_id; }
  const KString& getDescription() const { return m_description; }
  const KString& getPattern() const { return m_pattern; }
  // The extension without its dot, e.g. "mdl" for "*.mdl;*.bak".
  const KString& getDefaultExtension() const { return m_defaultExtension; }

  // The first pattern of `pattern` (up to the first ';') without its first two
  // characters, the "*." of a wildcard; empty when that pattern is shorter.
  static KString extensionOfPattern(const char* pattern);

  long getSizeOfThis() const override { return static_cast<long>(sizeof(*this)); }

 private:
  int m_id;
  KString m_description;
  KString m_pattern;
  KString m_defaultExtension;
};
