#include "host/KEvalCommand.h"

#include "host/CHostApp.h"
#include "host/KHostApplication.h"
#include "host/KHostCommands.h"
#include "host/KUnitArguments.h"
#include "model/units/KEntryConversion.h"
#include "numerics/expr/KExpr.h"
#include "numerics/expr/KExprValues.h"
#include "storage/numbertext/KNumberText.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {
const char kEvalUsage[] =
    "usage: quelmhost eval \"EXPR\" [--set NAME=VALUE]... [--feet | --inches]\n"
    "                      [--units SET] [--quantity Q] [--timescale T] [--option NAME=VALUE]...\n";
const char kFormatUsage[] =
    "usage: quelmhost format VALUE [--units SET] [--quantity Q] [--timescale T] [--digits N]\n"
    "                              [--option NAME=VALUE]...\n";
const char kUnitHelp[] =
    "  --units SET      force,length,mass,time,temperature short names, e.g. N,m,kg,s,C or lbf,ft,lb,s,F\n"
    "  --quantity Q     dimensionless, length, time, pertime, timescale, rate, or a quantity code\n"
    "  --timescale T    Seconds, Minutes, Hours, Days or Increments\n"
    "  --option N=V     set a cached option of the library for the run (e.g. feetInchesFormat=true)\n"
    "  --               end of options\n";

int usage(const char* command, const char* text, const char* reason) {
  fprintf(stderr, "quelmhost %s: %s\n%s", command, reason, text);
  return KHOST_EXIT_USAGE;
}

int help(const char* text) {
  fputs(text, stdout);
  fputs(kUnitHelp, stdout);
  return KHOST_EXIT_OK;
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

enum : int { kArgumentTaken = -1, kOwnOption = -2 };

// The arguments eval and format share: the unit-run options, "--", --help
// and the one text (described by `textName`). Answers kArgumentTaken,
// kOwnOption for an option the command itself must read, or an exit status.
int sharedArgument(const char* command, const char* usageText, const char* textName, int argc, char** argv,
                   int& i, KUnitRunArguments& unitArgs, bool& optionsEnded, const char*& text) {
  const char* arg = argv[i];
  if (optionsEnded || strncmp(arg, "--", 2) != 0) {
    if (!text) {
      text = arg;
      return kArgumentTaken;
    }
    KString reason;
    reason.Format("give one %s (quote it)", textName);
    return usage(command, usageText, reason);
  }
  int taken = takeUnitRunArgument(argc, argv, i, unitArgs);
  if (taken < 0) return usage(command, usageText, "--units, --quantity, --timescale and --option take a value");
  if (taken > 0) return kArgumentTaken;
  if (strcmp(arg, "--") == 0) {
    optionsEnded = true;
    return kArgumentTaken;
  }
  if (strcmp(arg, "--help") == 0) return help(usageText);
  return kOwnOption;
}

int unknownOption(const char* command, const char* usageText, const char* arg) {
  KString reason;
  reason.Format("unknown option '%s'", arg);
  return usage(command, usageText, reason);
}

KHostApplication& hostApplication() { return static_cast<KHostApplication&>(CHostApp::applicationObject()); }

// Starts up and puts the unit arguments into the application; answers an
// exit status, or -1 to go on.
int prepareUnits(CHostApp& app, const char* command, const char* text, const KUnitRunArguments& unitArgs,
                 long& code) {
  app.startUp();  // message texts come from the resource libraries
  KString error;
  if (applyUnitRunArguments(unitArgs, hostApplication(), code, error)) return usage(command, text, error);
  return -1;
}
}  // namespace

int KRunEvalCommand(CHostApp& app, int argc, char** argv) {
  const char* text = nullptr;
  int lengthMode = kExprLengthNone;
  std::vector<std::pair<KString, KString>> settings;
  KUnitRunArguments unitArgs;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    int status = sharedArgument("eval", kEvalUsage, "expression", argc, argv, i, unitArgs, optionsEnded, text);
    if (status == kArgumentTaken) continue;
    if (status != kOwnOption) return status;
    const char* arg = argv[i];
    if (strcmp(arg, "--feet") == 0 || strcmp(arg, "--inches") == 0) {
      if (lengthMode != kExprLengthNone) return usage("eval", kEvalUsage, "give --feet or --inches once");
      lengthMode = arg[2] == 'f' ? kExprLengthFeet : kExprLengthInches;
    } else if (strcmp(arg, "--set") == 0) {
      if (i + 1 >= argc) return usage("eval", kEvalUsage, "--set needs NAME=VALUE");
      KString setting(argv[++i]);
      int eq = setting.Find('=');
      if (eq <= 0) return usage("eval", kEvalUsage, "--set needs NAME=VALUE");
      KString name = setting.Left(eq);
      name.Trim();
      if (name.IsEmpty()) return usage("eval", kEvalUsage, "--set needs a name before '='");
      settings.emplace_back(name, setting.Mid(eq + 1));
    } else {
      return unknownOption("eval", kEvalUsage, arg);
    }
  }
  if (!text) return usage("eval", kEvalUsage, "no expression given");
  if (lengthMode != kExprLengthNone && unitArgs.any())
    return usage("eval", kEvalUsage, "--feet and --inches do not combine with --units, --quantity or --timescale");
  long code = 0;
  if (int status = prepareUnits(app, "eval", kEvalUsage, unitArgs, code); status >= 0) return status;

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
  double value = KExprUndefined;
  KString error;
  bool failed = unitArgs.any() ? textToReal(KString(text), value, error, &values, code, kEntryDigits, true)
                               : !evaluate(KString(text), lengthMode, values, value, error);
  if (failed) {
    fprintf(stderr, "quelmhost eval: %s\n", error.GetString());
    return KHOST_EXIT_FAILED;
  }
  KString out;
  numberToText(value, out, 0, 15, -1, 0.0, 0);
  printf("%s\n", out.GetString());
  return KHOST_EXIT_OK;
}

int KRunFormatCommand(CHostApp& app, int argc, char** argv) {
  const char* text = nullptr;
  int digits = kEntryDigits;
  KUnitRunArguments unitArgs;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    int status = sharedArgument("format", kFormatUsage, "value", argc, argv, i, unitArgs, optionsEnded, text);
    if (status == kArgumentTaken) continue;
    if (status != kOwnOption) return status;
    if (strcmp(argv[i], "--digits") != 0) return unknownOption("format", kFormatUsage, argv[i]);
    const char* n = i + 1 < argc ? argv[++i] : "";
    auto r = std::from_chars(n, n + strlen(n), digits);
    if (!*n || r.ec != std::errc() || *r.ptr || digits < 1 || digits > KNumberText::kMaxDigits)
      return usage("format", kFormatUsage, "--digits takes a number from 1 to 40");
  }
  if (!text) return usage("format", kFormatUsage, "no value given");
  // Entry fields of a feet or inches unit set show lengths in feet and inches.
  KHostApplication& host = hostApplication();
  bool feetInchesGiven = false;
  for (const char* option : unitArgs.options) feetInchesGiven |= optionArgumentNames(option, "feetInchesFormat");
  long code = 0;
  if (int status = prepareUnits(app, "format", kFormatUsage, unitArgs, code); status >= 0) return status;
  if (!feetInchesGiven && host.units().feetInchesMode() != 0)
    host.GetGlobalOptions()->setBoolean("feetInchesFormat", true, false, false);

  double value = KExprUndefined;
  KString error;
  if (textToReal(KString(text), value, error, nullptr, KQuantityCodes::kDimensionless, kEntryDigits, false)) {
    fprintf(stderr, "quelmhost format: %s\n", error.GetString());
    return KHOST_EXIT_FAILED;
  }
  KString out;
  numberToText(value, out, 0, digits, -1, 0.0, code);
  printf("%s\n", out.GetString());
  return KHOST_EXIT_OK;
}
