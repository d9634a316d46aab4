// Option values as the host shows them: whole numbers, reals that read back
// exactly (17 digits, "." whatever the locale), quoted strings, true/false.
#pragma once
#include "platform/KString.h"

KString KOptionValueText(const long& v);
KString KOptionValueText(const double& v);
KString KOptionValueText(const KString& v);
KString KOptionValueText(const bool& v);
