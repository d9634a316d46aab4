// The interpreter embedded in quelmhost, with module `quelm` built in.
#pragma once
#include <string>
#include <vector>

class KDatabaseOptions;

// Runs `source` as the main script `fileName` in a fresh interpreter, with
// sys.argv = argv and, when `options` is not null, its wrapper bound as the
// global `options`. Every wrapper the script made is released before the
// interpreter ends. Answers 0 when the script ran to its end (or called
// sys.exit() / sys.exit(0)), the status of sys.exit(n), and 1 for an
// exception, whose traceback goes to standard error (its last line the
// exception).
int KPyRunScript(const std::string& fileName, const std::string& source, const std::vector<std::string>& argv,
                 KDatabaseOptions* options);
