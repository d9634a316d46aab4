// The layering rule, checked over a source tree.
//
// The top-level folders are the layers (platform and resources 0, core 1,
// containers 2, storage 3, geometry 4, numerics 5, model 6, ui 7, host 8). A
// file in a layer may include files of its own layer or lower ones; includes
// between files must not form a cycle. Files outside the layer folders (tests/,
// bench/, fuzz/) may include anything. Includes are the quoted ones, resolved
// beside the including file first, then from the tree's root.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The layer of a path relative to the root ("storage/paged/KFile.h" -> 3), or
// -1 for a path outside the layer folders.
int layerOfPath(const std::string& relativePath);

// Every breach of the rule under root, one readable line each: an include that
// points to a higher layer, or a cycle of includes (listed file by file).
std::vector<std::string> findLayeringBreaches(const std::filesystem::path& root);

// Every breach of the window-system rule under root: only the sources of
// platform/windows/ include wxWidgets headers (<wx/...>) or the layer's
// private header platform/windows/KWxPrivate.h, and no header of the layer
// includes wxWidgets, so nothing above the layer sees the window system.
std::vector<std::string> findWindowSystemBreaches(const std::filesystem::path& root);
