// Script commands that replay an options store:
//
//   setInteger [<prefix>] <name> <value> <visible>     "%q %d %b"
//   setDouble  [<prefix>] <name> <value> <visible>     "%q %.17G %b"
//   setString  [<prefix>] <name> <value> <visible>     "%q %q %b"
//   setBoolean [<prefix>] <name> <value> <visible>     "%q %b %b"
//
// %q is a text between double quotes with each inner double quote doubled
// ("say ""hi"""); %b is "true" or "false". A command is the command word,
// then the arguments separated by one blank. Reals carry 17 significant
// digits so that a replay gives the value back exactly (the common %G keeps
// six and would change every real it replays).
#pragma once
#include "platform/KString.h"

class KDatabaseOptions;

// Receives the commands generateScript makes.
class KScriptRecorder {
 public:
  virtual ~KScriptRecorder() = default;
  virtual void record(int kind, const KString& command) = 0;
};

// The recorder kind of option commands.
constexpr int kScriptCommandKind = 43;

// Appends `text` as %q quotes it.
void appendQuoted(KString& out, const KString& text);

// Replays one command into `store` (as a visible or invisible setting,
// stored). Answers true (failed, store unchanged) when the text is no such
// command; `prefix` receives the object name when the command has one.
bool replayOptionCommand(const KString& command, KDatabaseOptions& store, KString* prefix = nullptr);
