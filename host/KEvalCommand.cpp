#include "host/KEvalCommand.h"

#include "host/CHostApp.h"
#include "host/KHostCommands.h"
#include "numerics/expr/KExpr.h"
#include "numerics/expr/KExprValues.h"
#include "storage/numbertext/KNumberText.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {
int usage(const char* reason) {
  fprintf(stderr, "quelmhost eval: %s\nusage: quelmhost eval \"EXPR\" [--set NAME=VALUE]... [--feet | --inches]\n",
          reason);
  return KHOST_EXIT_USAGE;
}

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
  const char* text = nullptr;
  int lengthMode = kExprLengthNone;
  std::vector<std::pair<KString, KString>> settings;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--feet") == 0 || strcmp(argv[i], "--inches") == 0) {
      if (lengthMode != kExprLengthNone) return usage("give --feet or --inches once");
      lengthMode = argv[i][2] == 'f' ? kExprLengthFeet : kExprLengthInches;
    } else if (strcmp(argv[i], "--set") == 0) {
      if (i + 1 >= argc) return usage("--set needs NAME=VALUE");
      KString setting(argv[++i]);
      int eq = setting.Find('=');
      if (eq <= 0) return usage("--set needs NAME=VALUE");
      KString name = setting.Left(eq);
      name.Trim();
      if (name.IsEmpty()) return usage("--set needs a name before '='");
      settings.emplace_back(name, setting.Mid(eq + 1));
    } else if (!text) {
      text = argv[i];
    } else {
      return usage("give one expression (quote it)");
    }
  }
  if (!text) return usage("no expression given");
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
