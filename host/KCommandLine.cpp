#include "host/KCommandLine.h"

#include <cctype>
#include <cstdio>
#include <cstring>

#include "host/KHostCommands.h"

namespace {
// Before "--": "--x..." and "-letter..." are options; "-", "-3", "-(x)" are
// values that merely start with a minus.
bool looksLikeOption(const char* arg) {
  if (arg[0] != '-') return false;
  if (arg[1] == '-') return arg[2] != 0;
  return std::isalpha(static_cast<unsigned char>(arg[1])) != 0;
}
}  // namespace

KCommandLine& KCommandLine::flag(const char* name, bool* target) {
  FOption o;
  o.m_name = name;
  o.m_pFlag = target;
  m_options.push_back(std::move(o));
  return *this;
}

KCommandLine& KCommandLine::option(const char* name, std::function<KString(const char*)> take, bool repeatable) {
  FOption o;
  o.m_name = name;
  o.m_take = std::move(take);
  o.m_bRepeatable = repeatable;
  m_options.push_back(std::move(o));
  return *this;
}

KCommandLine& KCommandLine::positionals(std::vector<const char*>* out, size_t min, size_t max, const char* missing) {
  m_pPositionals = out;
  m_nMin = min;
  m_nMax = max;
  m_missing = missing;
  return *this;
}

KCommandLine& KCommandLine::actions(size_t place, std::vector<FAction> actions, int* chosen) {
  m_actions = std::move(actions);
  m_nActionPlace = place;
  m_pAction = chosen;
  return *this;
}

KString KCommandLine::actionWords() const {
  KString words;
  for (size_t k = 0; k < m_actions.size(); ++k) {
    if (k > 0) words += k + 1 == m_actions.size() ? " or " : ", ";
    words += m_actions[k].m_word;
  }
  return words;
}

KString KCommandLine::checkAction(const std::vector<const char*>& positional) {
  KString reason;
  if (m_actions.empty() || positional.size() <= m_nActionPlace) return reason;
  const char* word = positional[m_nActionPlace];
  for (size_t k = 0; k < m_actions.size(); ++k) {
    if (std::strcmp(word, m_actions[k].m_word) != 0) continue;
    const size_t wanted = m_actions[k].m_nArguments;
    if (positional.size() - m_nActionPlace - 1 != wanted) {
      if (wanted == 0)
        reason.Format("%s takes no arguments", word);
      else
        reason.Format("%s takes %zu argument%s", word, wanted, wanted == 1 ? "" : "s");
    } else if (m_pAction) {
      *m_pAction = static_cast<int>(k);
    }
    return reason;
  }
  reason.Format("unknown action '%s' (%s)", word, actionWords().GetString());
  return reason;
}

KCommandLine::FOption* KCommandLine::find(const KString& name) {
  for (FOption& o : m_options)
    if (o.m_name == name) return &o;
  return nullptr;
}

int KCommandLine::usageError(const KString& reason) const {
  fflush(stdout);
  fprintf(stderr, "quelmhost %s: %s\n%s", m_command, reason.GetString(), m_usage);
  return KHOST_EXIT_USAGE;
}

int KCommandLine::parse(int argc, char** argv) {
  std::vector<const char*> positional;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!optionsEnded && std::strcmp(arg, "--") == 0) {
      optionsEnded = true;
      continue;
    }
    if (optionsEnded || !looksLikeOption(arg)) {
      positional.push_back(arg);
      continue;
    }
    if (std::strcmp(arg, "--help") == 0) {
      fputs(m_usage, stdout);
      return KHOST_EXIT_OK;
    }
    const char* eq = std::strchr(arg, '=');
    KString name = eq ? KString(arg, static_cast<int>(eq - arg)) : KString(arg);
    FOption* o = find(name);
    KString reason;
    if (!o) {
      reason.Format("unknown option '%s'", name.GetString());
      return usageError(reason);
    }
    if (o->m_nSeen++ > 0 && !o->m_bRepeatable) {
      reason.Format("give %s once", name.GetString());
      return usageError(reason);
    }
    if (o->m_pFlag) {
      if (eq) {
        reason.Format("%s takes no value", name.GetString());
        return usageError(reason);
      }
      *o->m_pFlag = true;
      continue;
    }
    const char* value = eq ? eq + 1 : nullptr;
    if (!value) {
      if (i + 1 >= argc) {
        reason.Format("%s needs a value", name.GetString());
        return usageError(reason);
      }
      value = argv[++i];
    }
    reason = o->m_take(value);
    if (!reason.IsEmpty()) return usageError(reason);
  }
  // The action word comes first: "get takes 1 argument" says more than
  // "too many arguments".
  if (KString reason = checkAction(positional); !reason.IsEmpty()) return usageError(reason);
  if (positional.size() < m_nMin) return usageError(m_missing);
  if (positional.size() > m_nMax) {
    KString reason;
    if (m_nMax == 0)
      reason.Format("%s takes no arguments", m_command);
    else
      reason.Format("too many arguments (%s takes %zu)", m_command, m_nMax);
    return usageError(reason);
  }
  if (m_pPositionals) *m_pPositionals = std::move(positional);
  return -1;
}
