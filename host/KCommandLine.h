// KCommandLine: the one argument parser of the quelmhost commands, so that
// every command follows the same conventions:
//
//   - options are "--name" switches and "--name VALUE" (or "--name=VALUE");
//     they may stand before, between or after the positional arguments;
//   - "--" ends the options: every later argument is positional, so
//     `quelmhost eval -- "-3^2"` evaluates "-3^2". Before it, a word that
//     starts with "-" and a letter, or with "--", is an option; other words
//     (a lone "-", "-3", "-(x)") are positional;
//   - "--help" prints the command's usage on standard output, status 0;
//   - wrong usage prints "quelmhost COMMAND: REASON" and the usage on
//     standard error, status 2 (KHOST_EXIT_USAGE);
//   - a command with actions ("options MODEL get NAME") names the action by
//     a word at a fixed positional place; each action takes its own number
//     of further positionals.
//
//   KCommandLine line("dump", kDumpUsage);
//   line.flag("--all", &all).option("--object", [&](const char* v) { ...; return KString(); })
//       .positionals(&paths, 1, 1, "dump needs a file");
//   if (int status = line.parse(argc, argv); status >= 0) return status;
#pragma once
#include <functional>
#include <vector>

#include "platform/KString.h"

class KCommandLine {
 public:
  // `command` names the command in messages; `usage` is its usage text,
  // starting "usage: quelmhost COMMAND ...", ending in a line end.
  KCommandLine(const char* command, const char* usage) : m_command(command), m_usage(usage) {}

  // A switch; given twice is wrong usage.
  KCommandLine& flag(const char* name, bool* target);
  // An option with a value, which `take` checks and keeps: it answers an
  // empty text when it accepts the value, else the reason it does not.
  // It may be given more than once when `repeatable`.
  KCommandLine& option(const char* name, std::function<KString(const char*)> take, bool repeatable = false);
  // From `min` to `max` positional arguments, in order; `missing` is the
  // reason given when fewer come.
  KCommandLine& positionals(std::vector<const char*>* out, size_t min, size_t max, const char* missing);
  // The action word at positional place `place`: one of `actions`, each
  // followed by exactly m_nArguments positionals. `*chosen` gets the index
  // of the word. Checked once the positionals number at least `place` + 1.
  struct FAction {
    const char* m_word;
    size_t m_nArguments;
  };
  KCommandLine& actions(size_t place, std::vector<FAction> actions, int* chosen);

  // Parses argv[1 .. argc) (argv[0] is the command word). Answers -1 when the
  // command is to run, else the exit status to end with (after printing).
  int parse(int argc, char** argv);
  // Wrong usage found after parsing: prints the reason and the usage on
  // standard error and answers KHOST_EXIT_USAGE.
  int usageError(const KString& reason) const;
  // The action words as "a, b or c", for messages.
  KString actionWords() const;

 private:
  struct FOption {
    KString m_name;
    bool* m_pFlag = nullptr;
    std::function<KString(const char*)> m_take;
    bool m_bRepeatable = false;
    int m_nSeen = 0;
  };
  FOption* find(const KString& name);
  // The reason the positionals do not fit the action; empty when they do.
  KString checkAction(const std::vector<const char*>& positional);

  const char* m_command;
  const char* m_usage;
  std::vector<FOption> m_options;
  std::vector<const char*>* m_pPositionals = nullptr;
  size_t m_nMin = 0;
  size_t m_nMax = 0;
  const char* m_missing = "missing argument";
  std::vector<FAction> m_actions;
  size_t m_nActionPlace = 0;
  int* m_pAction = nullptr;
};
