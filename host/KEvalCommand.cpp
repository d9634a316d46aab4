#include "host/KEvalCommand.h"

#include "host/CHostApp.h"
#include "host/KCommandLine.h"
#include "host/KHostCommands.h"
#include "numerics/expr/KExpr.h"
#include "numerics/expr/KExprValues.h"
#include "storage/numbertext/KNumberText.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace {
const char kEvalUsage[] =
    "usage: quelmhost eval \"EXPR\" [--set NAME=VALUE]... [--feet | --inches]\n"
    "  evaluate EXPR and print its value with 15 significant digits\n"
    "  --set NAME=VALUE  define NAME (VALUE may use the names set before it)\n"
    "  --feet, --inches  read feet-and-inches lengths in that unit\n"
    "  an expression that starts with a minus follows \"--\": eval -- \"-3^2\"\n";

// Parses and evaluates `text`; false with the message in `error` on failure.
bool evaluate(const KString& text, int lengthMode, const KExprValues& values, double& value, KString& error) {
  KExpr expr(false);
  try {
    expr.parse(text, false, lengthMode);
  } catch (const KExprException& e) {
    error = e.m_message;
    return false;
  }
  return !expr.evaluate(&values, &value, error);
}
}  // namespace

int KRunEvalCommand(CHostApp& app, int argc, char** argv) {
  bool feet = false, inches = false;
  std::vector<std::pair<KString, KString>> settings;
  std::vector<const char*> texts;
  KCommandLine line("eval", kEvalUsage);
  line.flag("--feet", &feet).flag("--inches", &inches);
  line.option(
      "--set",
      [&settings](const char* value) {
        KString setting(value);
        int eq = setting.Find('=');
        if (eq <= 0) return KString("--set needs NAME=VALUE");
        KString name = setting.Left(eq);
        name.Trim();
        if (name.IsEmpty()) return KString("--set needs a name before '='");
        settings.emplace_back(name, setting.Mid(eq + 1));
        return KString();
      },
      true);
  line.positionals(&texts, 1, 1, "no expression given");
  if (int status = line.parse(argc, argv); status >= 0) return status;
  if (feet && inches) return line.usageError("give --feet or --inches, not both");
  const int lengthMode = feet ? kExprLengthFeet : inches ? kExprLengthInches : kExprLengthNone;
  const char* text = texts[0];
  app.startUp();  // message texts come from the resource libraries

  KExprValues values(true);
  for (const auto& [name, valueText] : settings) {
    double v = 0.0;
    KString error;
    if (!evaluate(valueText, lengthMode, values, v, error)) {
      fprintf(stderr, "quelmhost eval: %s: %s\n", name.GetString(), error.GetString());
      return KHOST_EXIT_FAILED;
    }
    values.addValue(name, v);
  }
  double value = 0.0;
  KString error;
  if (!evaluate(KString(text), lengthMode, values, value, error)) {
    fprintf(stderr, "quelmhost eval: %s\n", error.GetString());
    return KHOST_EXIT_FAILED;
  }
  KString out;
  numberToText(value, out, 0, 15, -1, 0.0, 0);
  printf("%s\n", out.GetString());
  return KHOST_EXIT_OK;
}
