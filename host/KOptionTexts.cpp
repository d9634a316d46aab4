#include "host/KOptionTexts.h"

#include "model/options/KOptionsScript.h"
#include "storage/numbertext/KNumberText.h"

KString KOptionValueText(const long& v) {
  KString s;
  s.Format("%ld", v);
  return s;
}
KString KOptionValueText(const double& v) {
  KString s;
  numberToText(v, s, 0, 17, -1, 0.0, 0, ".");
  return s;
}
KString KOptionValueText(const KString& v) {
  KString s;
  appendQuoted(s, v);
  return s;
}
KString KOptionValueText(const bool& v) { return KString(v ? "true" : "false"); }
