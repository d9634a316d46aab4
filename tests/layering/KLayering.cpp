#include "KLayering.h"

#include <fstream>
#include <map>
#include <regex>
#include <set>

namespace fs = std::filesystem;

int layerOfPath(const std::string& relativePath) {
  static const std::map<std::string, int> layers = {
      {"platform", 0}, {"resources", 0}, {"core", 1},     {"containers", 2}, {"storage", 3},
      {"geometry", 4}, {"numerics", 5},  {"model", 6},    {"ui", 7},         {"host", 8}};
  auto slash = relativePath.find('/');
  if (slash == std::string::npos) return -1;
  auto it = layers.find(relativePath.substr(0, slash));
  return it == layers.end() ? -1 : it->second;
}

namespace {

bool isSource(const fs::path& p) {
  auto ext = p.extension().string();
  return ext == ".h" || ext == ".hpp" || ext == ".cpp" || ext == ".cc";
}

// The quoted includes of one file, resolved to paths relative to root; those
// that resolve to no file of the tree (system headers in quotes) are dropped.
std::vector<std::string> includesOf(const fs::path& root, const std::string& rel) {
  static const std::regex include(R"(^\s*#\s*include\s*"([^"]+)\")");
  std::vector<std::string> out;
  std::ifstream in(root / rel);
  std::string line;
  std::smatch m;
  while (std::getline(in, line)) {
    if (!std::regex_search(line, m, include)) continue;
    fs::path beside = fs::path(rel).parent_path() / m[1].str();
    if (fs::is_regular_file(root / beside))
      out.push_back(beside.lexically_normal().generic_string());
    else if (fs::is_regular_file(root / m[1].str()))
      out.push_back(fs::path(m[1].str()).lexically_normal().generic_string());
  }
  return out;
}

struct Graph {
  std::map<std::string, std::vector<std::string>> edges;
  std::map<std::string, int> state;  // 0 unvisited, 1 on the current path, 2 done
  std::vector<std::string> path;
  std::set<std::string> reported;

  void visit(const std::string& f, std::vector<std::string>& breaches) {
    state[f] = 1;
    path.push_back(f);
    for (const auto& g : edges[f]) {
      if (state[g] == 1) {
        std::string cycle = "include cycle:";
        auto start = std::find(path.begin(), path.end(), g);
        for (auto it = start; it != path.end(); ++it) cycle += " " + *it + " ->";
        cycle += " " + g;
        if (reported.insert(g + "|" + f).second) breaches.push_back(cycle);
      } else if (state[g] == 0) {
        visit(g, breaches);
      }
    }
    path.pop_back();
    state[f] = 2;
  }
};

// Calls visit(relative path) for every source file under root, build folders
// and the repository's own folder left out.
template <class Visit>
void forEachSource(const fs::path& root, Visit visit) {
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    auto rel = fs::relative(it->path(), root).generic_string();
    if (it->is_directory() && (rel == "build" || rel == ".git" || rel.rfind("build/", 0) == 0)) {
      it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file() && isSource(it->path())) visit(rel);
  }
}

}  // namespace

std::vector<std::string> findLayeringBreaches(const fs::path& root) {
  std::vector<std::string> breaches;
  Graph graph;
  forEachSource(root, [&](const std::string& rel) {
    int layer = layerOfPath(rel);
    auto& out = graph.edges[rel];
    for (const auto& inc : includesOf(root, rel)) {
      out.push_back(inc);
      int incLayer = layerOfPath(inc);
      if (layer >= 0 && incLayer > layer)
        breaches.push_back(rel + " (layer " + std::to_string(layer) + ") includes " + inc + " (layer " +
                           std::to_string(incLayer) + ")");
    }
  });
  for (const auto& [file, _] : graph.edges)
    if (graph.state[file] == 0) graph.visit(file, breaches);
  return breaches;
}

std::vector<std::string> findWindowSystemBreaches(const fs::path& root) {
  static const std::regex wxInclude(R"(^\s*#\s*include\s*<wx/([^>]+)>)");
  static const std::regex privateInclude(R"(^\s*#\s*include\s*"platform/windows/KWxPrivate\.h")");
  std::vector<std::string> breaches;
  forEachSource(root, [&](const std::string& rel) {
    const bool inLayer = rel.rfind("platform/windows/", 0) == 0 && rel.find('/', 17) == std::string::npos;
    const std::string ext = fs::path(rel).extension().string();
    const bool header = ext == ".h" || ext == ".hpp";
    const bool privateHeader = rel == "platform/windows/KWxPrivate.h";
    std::ifstream in(root / rel);
    std::string line;
    std::smatch m;
    while (std::getline(in, line)) {
      if (std::regex_search(line, m, wxInclude) && (!inLayer || (header && !privateHeader)))
        breaches.push_back(rel + " includes <wx/" + m[1].str() + ">");
      else if (std::regex_search(line, privateInclude) && !inLayer)
        breaches.push_back(rel + " includes the window layer's private header");
    }
  });
  return breaches;
}
