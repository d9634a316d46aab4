#include "KLayering.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "tests/support/KScratchFolder.h"

namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& root, const std::string& rel, const std::string& text) {
  fs::create_directories((root / rel).parent_path());
  std::ofstream(root / rel) << text;
}

}  // namespace

TEST(KLayeringTest, LayersFollowTheFolderTable) {
  EXPECT_EQ(layerOfPath("platform/KString.h"), 0);
  EXPECT_EQ(layerOfPath("resources/KResourceTables.h"), 0);
  EXPECT_EQ(layerOfPath("core/system/KTempNames.h"), 1);
  EXPECT_EQ(layerOfPath("containers/trees/KTreeRootBase.h"), 2);
  EXPECT_EQ(layerOfPath("storage/paged/KFile.h"), 3);
  EXPECT_EQ(layerOfPath("geometry/K3dMatrix.h"), 4);
  EXPECT_EQ(layerOfPath("numerics/expr/KExpr.h"), 5);
  EXPECT_EQ(layerOfPath("model/KDatabaseOptions.h"), 6);
  EXPECT_EQ(layerOfPath("ui/KDialog.h"), 7);
  EXPECT_EQ(layerOfPath("host/CHostApp.h"), 8);
  EXPECT_EQ(layerOfPath("tests/host/KHostRun.h"), -1);
  EXPECT_EQ(layerOfPath("README.md"), -1);
}

TEST(KLayeringTest, UpwardIncludesAndCyclesAreFound) {
  KScratchFolder dir;
  writeFile(dir.path(), "platform/A.h", "#pragma once\n");
  writeFile(dir.path(), "core/x/B.h", "#include \"platform/A.h\"\n#include <vector>\n");
  writeFile(dir.path(), "storage/y/C.h", "#include \"numerics/z/D.h\"\n");
  writeFile(dir.path(), "numerics/z/D.h", "#include \"E.h\"\n");
  writeFile(dir.path(), "numerics/z/E.h", "  #  include \"numerics/z/D.h\"\n");
  writeFile(dir.path(), "tests/T.cpp", "#include \"host/H.h\"\n");
  writeFile(dir.path(), "host/H.h", "#include \"core/x/B.h\"\n#include \"missing/none.h\"\n");
  auto breaches = findLayeringBreaches(dir.path());
  ASSERT_EQ(breaches.size(), 2u) << ::testing::PrintToString(breaches);
  EXPECT_EQ(breaches[0], "storage/y/C.h (layer 3) includes numerics/z/D.h (layer 5)");
  EXPECT_NE(breaches[1].find("include cycle:"), std::string::npos);
  EXPECT_NE(breaches[1].find("numerics/z/E.h"), std::string::npos);
}

// The tree itself keeps the rule: code and tests include only their own layer
// and the ones below, and no includes go round in a circle.
TEST(KLayeringTest, SourceTreeKeepsTheLayers) {
  auto breaches = findLayeringBreaches(QUELM_SOURCE_DIR);
  std::string all;
  for (const auto& b : breaches) all += b + "\n";
  EXPECT_TRUE(breaches.empty()) << all;
}

TEST(KLayeringTest, WindowSystemHeadersStayInsideTheWindowLayer) {
  KScratchFolder dir;
  writeFile(dir.path(), "platform/windows/CWnd.cpp", "#include <wx/window.h>\n#include \"platform/windows/KWxPrivate.h\"\n");
  writeFile(dir.path(), "platform/windows/KWxPrivate.h", "#include <wx/font.h>\n");
  writeFile(dir.path(), "platform/windows/CWnd_test.cpp", "#include <wx/event.h>\n");
  writeFile(dir.path(), "platform/windows/CWnd.h", "#pragma once\n#include <wx/window.h>\n");
  writeFile(dir.path(), "platform/KString.cpp", "  #  include <wx/string.h>\n");
  writeFile(dir.path(), "ui/dialogs/KDialog.cpp", "#include \"platform/windows/KWxPrivate.h\"\n");
  writeFile(dir.path(), "tests/gui/T.cpp", "#include <wx/app.h>\n");
  writeFile(dir.path(), "host/H.cpp", "#include <wxWidgets.h>\n// <wx/app.h> in a comment\n");
  auto breaches = findWindowSystemBreaches(dir.path());
  std::sort(breaches.begin(), breaches.end());
  const std::vector<std::string> expected = {
      "platform/KString.cpp includes <wx/string.h>",
      "platform/windows/CWnd.h includes <wx/window.h>",
      "tests/gui/T.cpp includes <wx/app.h>",
      "ui/dialogs/KDialog.cpp includes the window layer's private header",
  };
  EXPECT_EQ(breaches, expected);
}

TEST(KLayeringTest, SourceTreeKeepsTheWindowSystemInItsLayer) {
  auto breaches = findWindowSystemBreaches(QUELM_SOURCE_DIR);
  std::string all;
  for (const auto& b : breaches) all += b + "\n";
  EXPECT_TRUE(breaches.empty()) << all;
}
