#include "platform/KRegistry.h"

#include "platform/KFaultFileSystem.h"
#include "platform/KRegFile.h"
#include "tests/support/KScratchFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

std::set<std::string> listDir(const std::string& dir) {
  std::set<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d))
      if (strcmp(e->d_name, ".") && strcmp(e->d_name, "..")) names.insert(e->d_name);
    closedir(d);
  }
  return names;
}

// Every test gets a store folder of its own below the one the test program set.
class KRegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* base = getenv("QUELM_REGISTRY_DIR");
    m_saved = base ? base : "";
    ASSERT_FALSE(m_scratch.path().empty());
    m_dir = m_scratch.path();
    setenv("QUELM_REGISTRY_DIR", m_dir.c_str(), 1);
  }
  void TearDown() override {
    KFileSystem::SetCurrent(nullptr);
    if (m_saved.empty()) unsetenv("QUELM_REGISTRY_DIR");
    else setenv("QUELM_REGISTRY_DIR", m_saved.c_str(), 1);
  }

  HKEY create(const char* path, REGSAM access = KEY_ALL_ACCESS, DWORD* disposition = nullptr) {
    HKEY h = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &h,
                              disposition),
              ERROR_SUCCESS);
    return h;
  }
  static LONG setString(HKEY h, const char* name, const std::string& text) {
    return RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
  }
  static LONG setDword(HKEY h, const char* name, DWORD v) {
    return RegSetValueExA(h, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v);
  }
  // The value's bytes, or "<error N>".
  static std::string query(HKEY h, const char* name, DWORD* type = nullptr) {
    DWORD size = 0;
    LONG rc = RegQueryValueExA(h, name, nullptr, type, nullptr, &size);
    if (rc) return "<error " + std::to_string(rc) + ">";
    std::string data(size, '\0');
    rc = RegQueryValueExA(h, name, nullptr, type, reinterpret_cast<BYTE*>(data.data()), &size);
    if (rc) return "<error " + std::to_string(rc) + ">";
    data.resize(size);
    return data;
  }
  std::string userFile() const { return m_dir + "/user.reg"; }

  KScratchFolder m_scratch{"reg"};
  std::string m_saved;
  std::string m_dir;
};

}  // namespace

TEST_F(KRegistryTest, EveryTypeRoundTripsThroughTheStoreFile) {
  HKEY h = create("Software\\Firm\\Product");
  const std::string bin("\x00\x01\xFE\xFF", 4);
  const std::string multi("a\0bc\0\0", 6);
  const std::string expand("%HOME%\\x\0", 9);
  const unsigned long long q = 0x8000000000000001ULL;
  EXPECT_EQ(setString(h, "Text", "quote \" back \\"), ERROR_SUCCESS);
  EXPECT_EQ(setDword(h, "Count", 42), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(h, "Bin", 0, REG_BINARY, reinterpret_cast<const BYTE*>(bin.data()), 4), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(h, "Multi", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi.data()), 6), 0);
  EXPECT_EQ(RegSetValueExA(h, "Exp", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expand.data()), 9), 0);
  EXPECT_EQ(RegSetValueExA(h, "Q", 0, REG_QWORD, reinterpret_cast<const BYTE*>(&q), 8), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(h, "None", 0, REG_NONE, nullptr, 0), ERROR_SUCCESS);
  EXPECT_EQ(setString(h, nullptr, "default"), ERROR_SUCCESS);

  DWORD type = 0;
  EXPECT_EQ(query(h, "Text", &type), std::string("quote \" back \\\0", 15));
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(query(h, "count", &type), std::string("\x2a\0\0\0", 4));
  EXPECT_EQ(type, REG_DWORD);
  EXPECT_EQ(query(h, "Bin", &type), bin);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(query(h, "Multi", &type), multi);
  EXPECT_EQ(type, REG_MULTI_SZ);
  EXPECT_EQ(query(h, "Exp", &type), expand);
  EXPECT_EQ(type, REG_EXPAND_SZ);
  EXPECT_EQ(query(h, "Q", &type), std::string("\x01\0\0\0\0\0\0\x80", 8));
  EXPECT_EQ(type, REG_QWORD);
  EXPECT_EQ(query(h, "None", &type), "");
  EXPECT_EQ(type, REG_NONE);
  EXPECT_EQ(query(h, "", &type), std::string("default\0", 8));

  std::string text = readFile(userFile());
  EXPECT_EQ(text.rfind("REGEDIT4\n", 0), 0u);
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Firm\\Product]\n"), std::string::npos);
  EXPECT_NE(text.find("\"Text\"=\"quote \\\" back \\\\\"\n"), std::string::npos);
  EXPECT_NE(text.find("\"Count\"=dword:0000002a\n"), std::string::npos);
  EXPECT_NE(text.find("\"Q\"=hex(b):01,00,00,00,00,00,00,80\n"), std::string::npos);
  EXPECT_NE(text.find("@=\"default\"\n"), std::string::npos);
  EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
}

TEST_F(KRegistryTest, NamesIgnoreCaseAndKeepTheirFirstCase) {
  HKEY h = create("Software\\MixedCase");
  EXPECT_EQ(setDword(h, "MyValue", 1), ERROR_SUCCESS);
  EXPECT_EQ(setDword(h, "MYVALUE", 2), ERROR_SUCCESS);
  char name[32];
  DWORD nameSize = sizeof name;
  DWORD v = 0, size = sizeof v;
  ASSERT_EQ(RegEnumValueA(h, 0, name, &nameSize, nullptr, nullptr, reinterpret_cast<BYTE*>(&v), &size), 0);
  EXPECT_STREQ(name, "MyValue");
  EXPECT_EQ(v, 2u);
  nameSize = sizeof name;
  EXPECT_EQ(RegEnumValueA(h, 1, name, &nameSize, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);

  DWORD disposition = 0;
  HKEY again = create("SOFTWARE\\mixedcase", KEY_ALL_ACCESS, &disposition);
  EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
  HKEY sub = nullptr;
  ASSERT_EQ(RegCreateKeyExA(again, "Child", 0, nullptr, 0, KEY_READ, nullptr, &sub, &disposition), 0);
  EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
  EXPECT_NE(readFile(userFile()).find("[HKEY_CURRENT_USER\\Software\\MixedCase\\Child]"), std::string::npos);
  for (HKEY k : {h, again, sub}) EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
}

// Equal bytes written under another type are a change: the type is stored.
TEST_F(KRegistryTest, SameBytesUnderAnotherTypeChangeTheType) {
  HKEY h = create("Software\\Typed");
  const std::string bytes("abc\0", 4);
  ASSERT_EQ(RegSetValueExA(h, "V", 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes.data()), 4), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(h, "V", 0, REG_SZ, reinterpret_cast<const BYTE*>(bytes.data()), 4), ERROR_SUCCESS);
  DWORD type = 0;
  EXPECT_EQ(query(h, "V", &type), bytes);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_NE(readFile(userFile()).find("\"V\"=\"abc\"\n"), std::string::npos);
  EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
}

TEST_F(KRegistryTest, QueryAnswersSizeAndMoreDataWithTheNeededSize) {
  HKEY h = create("Software\\Sizes");
  ASSERT_EQ(setString(h, "Path", "C:\\data"), ERROR_SUCCESS);
  DWORD size = 0, type = 0;
  EXPECT_EQ(RegQueryValueExA(h, "Path", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 8u);
  char buf[8];
  memset(buf, '#', sizeof buf);
  size = 7;
  EXPECT_EQ(RegQueryValueExA(h, "Path", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(buf[0], '#');
  EXPECT_EQ(RegQueryValueExA(h, "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size), ERROR_SUCCESS);
  EXPECT_STREQ(buf, "C:\\data");
  EXPECT_EQ(RegQueryValueExA(h, "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegQueryValueExA(h, "Absent", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
  RegCloseKey(h);
}

TEST_F(KRegistryTest, EnumerationFollowsCreationOrderAndChecksBuffers) {
  HKEY h = create("Software\\Enum");
  for (const char* n : {"zeta", "alpha", "Mid"}) ASSERT_EQ(setDword(h, n, 7), ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteValueA(h, "alpha"), ERROR_SUCCESS);
  ASSERT_EQ(setDword(h, "alpha", 8), ERROR_SUCCESS);
  std::vector<std::string> names;
  for (DWORD i = 0;; ++i) {
    char name[16];
    DWORD n = sizeof name;
    LONG rc = RegEnumValueA(h, i, name, &n, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS) break;
    ASSERT_EQ(rc, ERROR_SUCCESS);
    EXPECT_EQ(n, strlen(name));
    names.push_back(name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"zeta", "Mid", "alpha"}));
  char small[4];
  DWORD n = sizeof small;  // "zeta" needs 5 with its zero byte
  EXPECT_EQ(RegEnumValueA(h, 0, small, &n, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
  char name[16];
  n = sizeof name;
  BYTE data[2];
  DWORD size = sizeof data;
  EXPECT_EQ(RegEnumValueA(h, 0, name, &n, nullptr, nullptr, data, &size), ERROR_MORE_DATA);
  EXPECT_EQ(size, 4u);

  HKEY a = create("Software\\Enum\\B"), b = create("Software\\Enum\\A");
  n = sizeof name;
  ASSERT_EQ(RegEnumKeyExA(h, 0, name, &n, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_STREQ(name, "B");
  n = sizeof name;
  EXPECT_EQ(RegEnumKeyExA(h, 2, name, &n, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
  for (HKEY k : {h, a, b}) RegCloseKey(k);
}

TEST_F(KRegistryTest, DeletingKeysAndValues) {
  HKEY parent = create("Software\\Del");
  HKEY child = create("Software\\Del\\Child");
  ASSERT_EQ(setDword(child, "v", 1), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteValueA(child, "absent"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Del"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyA(parent, "Nothing"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyA(parent, "child"), ERROR_SUCCESS);
  EXPECT_EQ(query(child, "v"), "<error 1018>");  // the handle outlives its key
  EXPECT_EQ(setDword(child, "v", 2), ERROR_KEY_DELETED);
  HKEY gone = nullptr;
  EXPECT_EQ(RegOpenKeyExA(parent, "Child", 0, KEY_READ, &gone), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(gone, nullptr);
  EXPECT_EQ(RegDeleteKeyA(parent, ""), ERROR_SUCCESS);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
  EXPECT_EQ(readFile(userFile()).find("Del"), std::string::npos);
  RegCloseKey(parent);
  RegCloseKey(child);
}

TEST_F(KRegistryTest, DwordStoredAsStringReadsBackAsString) {
  HKEY h = create("Software\\Typed");
  ASSERT_EQ(setString(h, "Width", "42"), ERROR_SUCCESS);
  DWORD type = 0;
  EXPECT_EQ(query(h, "Width", &type), std::string("42\0", 3));
  EXPECT_EQ(type, REG_SZ);
  RegCloseKey(h);
}

TEST_F(KRegistryTest, AccessRightsOfTheHandleAreEnforced) {
  HKEY w = create("Software\\Ro");
  ASSERT_EQ(setDword(w, "v", 1), ERROR_SUCCESS);
  HKEY r = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Ro", 0, KEY_READ | KEY_WOW64_32KEY, &r), 0);
  EXPECT_EQ(setDword(r, "v", 2), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteValueA(r, "v"), ERROR_ACCESS_DENIED);
  HKEY sub = nullptr;
  EXPECT_EQ(RegCreateKeyExA(r, "New", 0, nullptr, 0, KEY_READ, nullptr, &sub, nullptr), ERROR_ACCESS_DENIED);
  EXPECT_EQ(query(r, "v"), std::string("\1\0\0\0", 4));  // both views read one store
  HKEY q = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Ro", 0, KEY_SET_VALUE, &q), 0);
  EXPECT_EQ(query(q, "v"), "<error 5>");
  for (HKEY k : {w, r, q}) RegCloseKey(k);
}

TEST_F(KRegistryTest, MalformedArgumentsAreRefused) {
  HKEY h = nullptr;
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "\\Lead", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
            ERROR_BAD_PATHNAME);
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "a\\\\b", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
            ERROR_BAD_PATHNAME);
  std::string longName(256, 'n');
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, longName.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                            nullptr),
            ERROR_BAD_PATHNAME);
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "v", 0, nullptr, 1, KEY_ALL_ACCESS, nullptr, &h, nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(h, nullptr);
  h = create("Software\\Args\\");  // one trailing separator is tolerated
  EXPECT_EQ(setDword(h, "line\nbreak", 1), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueExA(h, "x", 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
  std::string big(KREG_MAX_DATA + 1, 'b');
  EXPECT_EQ(RegSetValueExA(h, "x", 0, REG_BINARY, reinterpret_cast<const BYTE*>(big.data()),
                           static_cast<DWORD>(big.size())),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(h), ERROR_INVALID_HANDLE);
  EXPECT_EQ(setDword(h, "x", 1), ERROR_INVALID_HANDLE);
  EXPECT_EQ(setDword(reinterpret_cast<HKEY>(uintptr_t{0x1234}), "x", 1), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
}

TEST_F(KRegistryTest, StorePathFollowsTheEnvironment) {
  EXPECT_EQ(KRegistryStorePath(HKEY_CURRENT_USER), m_dir + "/user.reg");
  EXPECT_EQ(KRegistryStorePath(HKEY_LOCAL_MACHINE), m_dir + "/machine.reg");
  HKEY h = create("Software");
  EXPECT_EQ(KRegistryStorePath(h), m_dir + "/user.reg");
  RegCloseKey(h);
  const char* xdg = getenv("XDG_CONFIG_HOME");
  std::string savedXdg = xdg ? xdg : "";
  unsetenv("QUELM_REGISTRY_DIR");
  setenv("XDG_CONFIG_HOME", m_dir.c_str(), 1);
  EXPECT_EQ(KRegistryStorePath(HKEY_CURRENT_USER), m_dir + "/quelm/user.reg");
  unsetenv("XDG_CONFIG_HOME");
  const char* home = getenv("HOME");
  if (home && *home) {
    EXPECT_EQ(KRegistryStorePath(HKEY_CURRENT_USER), std::string(home) + "/.config/quelm/user.reg");
  }
  if (!savedXdg.empty()) setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
  setenv("QUELM_REGISTRY_DIR", m_dir.c_str(), 1);
}

TEST_F(KRegistryTest, FolderIsCreatedOnFirstWriteOnly) {
  std::string nested = m_dir + "/deeper/still";
  setenv("QUELM_REGISTRY_DIR", nested.c_str(), 1);
  HKEY h = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &h), ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(listDir(m_dir).empty());
  ASSERT_EQ(setDword(HKEY_LOCAL_MACHINE, "Root", 3), ERROR_SUCCESS);
  EXPECT_EQ(readFile(nested + "/machine.reg"), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE]\n\"Root\"=dword:00000003\n");
}

TEST_F(KRegistryTest, UnparsableStoreAnswersBadDbIsReportedOnceAndKeptIntact) {
  const std::string broken = "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:nothex\n";
  writeFile(userFile(), broken);
  std::vector<KString> reports;
  KRegistryErrorReporter old = KRegistrySetErrorReporter([&](const KString& m) { reports.push_back(m); });
  HKEY h = nullptr;
  EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "A", 0, KEY_READ, &h), ERROR_BADDB);
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "B", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr), ERROR_BADDB);
  EXPECT_EQ(setDword(HKEY_CURRENT_USER, "x", 1), ERROR_BADDB);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "A"), ERROR_BADDB);
  EXPECT_EQ(query(HKEY_CURRENT_USER, "x"), "<error 1009>");
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0], KString(userFile() + ": line 3: dword: needs 1 to 8 hex digits"));
  EXPECT_EQ(readFile(userFile()), broken);
  EXPECT_EQ(listDir(m_dir), (std::set<std::string>{"user.reg", "user.reg.lock"}));
  EXPECT_EQ(setDword(HKEY_LOCAL_MACHINE, "other", 1), ERROR_SUCCESS);  // the other root is unaffected

  writeFile(userFile(), "REGEDIT4\n[HKEY_CURRENT_USER\\A]\n\"x\"=dword:7\n");  // a person mends it
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "A", 0, KEY_READ, &h), ERROR_SUCCESS);
  EXPECT_EQ(query(h, "x"), std::string("\7\0\0\0", 4));
  RegCloseKey(h);
  EXPECT_EQ(reports.size(), 1u);
  KRegistrySetErrorReporter(old);
}

TEST_F(KRegistryTest, ValuesWrittenByOneProcessAreReadByTheNext) {
  HKEY h = create("Software\\Hand");
  ASSERT_EQ(setDword(h, "fromParent", 5), ERROR_SUCCESS);  // also fills the cache
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    HKEY k = nullptr;
    int ok = RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Hand", 0, KEY_ALL_ACCESS, &k) == 0 &&
             query(k, "fromParent") == std::string("\5\0\0\0", 4) && setString(k, "fromChild", "hi") == 0;
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(query(h, "fromChild"), std::string("hi\0", 3));
  RegCloseKey(h);
}

TEST_F(KRegistryTest, ConcurrentWritersLoseNothing) {
  HKEY h = create("Software\\Race");
  RegCloseKey(h);
  const int kEach = 200;
  pid_t pids[2];
  for (int p = 0; p < 2; ++p) {
    pids[p] = fork();
    ASSERT_GE(pids[p], 0);
    if (pids[p] == 0) {
      HKEY k = nullptr;
      if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Race", 0, KEY_ALL_ACCESS, &k)) _exit(2);
      for (int i = 0; i < kEach; ++i)
        if (setDword(k, ("p" + std::to_string(p) + "_" + std::to_string(i)).c_str(), static_cast<DWORD>(i))) _exit(3);
      _exit(0);
    }
  }
  for (pid_t pid : pids) {
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Race", 0, KEY_READ, &h), ERROR_SUCCESS);
  int count = 0;
  for (int p = 0; p < 2; ++p)
    for (int i = 0; i < kEach; ++i) {
      std::string want(4, '\0');
      want[0] = static_cast<char>(i);
      count += query(h, ("p" + std::to_string(p) + "_" + std::to_string(i)).c_str()) == want;
    }
  EXPECT_EQ(count, 2 * kEach);
  RegCloseKey(h);
}

TEST_F(KRegistryTest, KilledWriterNeverLeavesAPartialStore) {
  std::mt19937 random(12345);
  std::string payload(20000, 'p');  // long writes widen the window for the kill
  for (int round = 0; round < 12; ++round) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (int i = 0;; ++i)
        setString(HKEY_CURRENT_USER, ("r" + std::to_string(i % 50)).c_str(), payload + std::to_string(i));
    }
    usleep(1000 + random() % 30000);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    KRegModel model;
    KString error;
    std::string text = readFile(userFile());
    EXPECT_FALSE(KRegFile::parse(text, model, error, "HKEY_CURRENT_USER")) << error.GetString();
  }
  ASSERT_EQ(setDword(HKEY_CURRENT_USER, "after", 1), ERROR_SUCCESS);  // sweeps orphaned temporaries
  EXPECT_EQ(listDir(m_dir), (std::set<std::string>{"user.reg", "user.reg.lock"}));
  DWORD type = 0;
  EXPECT_EQ(query(HKEY_CURRENT_USER, "after", &type).size(), 4u);
}

TEST_F(KRegistryTest, EditsMadeToTheFileAreSeenByTheNextRead) {
  ASSERT_EQ(setDword(HKEY_CURRENT_USER, "v", 1), ERROR_SUCCESS);
  EXPECT_EQ(query(HKEY_CURRENT_USER, "v"), std::string("\1\0\0\0", 4));
  writeFile(userFile(), "REGEDIT4\n\n[HKEY_CURRENT_USER]\n\"v\"=dword:00000002\n\"w\"=\"new\"\n");
  EXPECT_EQ(query(HKEY_CURRENT_USER, "v"), std::string("\2\0\0\0", 4));
  EXPECT_EQ(query(HKEY_CURRENT_USER, "W"), std::string("new\0", 4));
}

// A settings save fails at each of its steps in turn, once with an I/O error
// and once with a disk that fills up mid-write: every failure is reported, the
// old store stays byte-identical and no temporary file is left behind.
TEST_F(KRegistryTest, EachStepOfASettingsSaveFailsInTurnKeepingTheOldStore) {
  HKEY h = create("Software\\Firm\\Product");
  ASSERT_EQ(setString(h, "Keep", "old"), ERROR_SUCCESS);
  KFaultFileSystem faults(KFileSystem::Default());
  KFileSystem::SetCurrent(&faults);
  for (bool diskFull : {false, true}) {
    faults.setShortWrite(diskFull);
    long failedSaves = 0;
    for (long n = 1;; ++n) {
      const std::string before = readFile(userFile());
      faults.failNth(KFaultFileSystem::kAny, n, diskFull ? ENOSPC : EIO);
      LONG rc = setString(h, "Keep", "new " + std::to_string(n) + (diskFull ? " full" : ""));
      if (!faults.fired()) {
        EXPECT_EQ(rc, ERROR_SUCCESS);
        break;
      }
      EXPECT_EQ(listDir(m_dir), (std::set<std::string>{"user.reg", "user.reg.lock"})) << "call " << n;
      if (rc == ERROR_SUCCESS) continue;  // a step the save can do without: the orphan listing, the folder sync
      ++failedSaves;
      EXPECT_EQ(rc, diskFull ? ERROR_HANDLE_DISK_FULL : ERROR_IO_DEVICE) << "call " << n;
      EXPECT_EQ(readFile(userFile()), before) << "call " << n;
    }
    // Temporary file made (open, close), then open, write, permissions, sync,
    // close and rename.
    EXPECT_EQ(failedSaves, 8) << (diskFull ? "disk full" : "I/O error");
  }
  KFileSystem::SetCurrent(nullptr);
  EXPECT_NE(readFile(userFile()).find("\"Keep\"=\"new "), std::string::npos);
  RegCloseKey(h);
}
