// quelmhost dump and convert end to end: listings of both forms, one object,
// the header alone, a text -> binary -> text round trip compared record by
// record, damaged files and wrong usage.
#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "KHostRun.h"
#include "storage/objectfile/KBinaryPersistance.h"
#include "storage/objectfile/KObjectFileWalker.h"
#include "storage/objectfile/KTextPersistance.h"

namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A file with every value tag, a nested object, numeric names, the undefined
// real, and one long array.
void writeSample(KImplPersistance& out) {
  out.setApplication(7);
  out.setMode(2);
  out.beginObject("Model", "beam");
  LONGLONG ints[] = {1, -2, 1LL << 40};
  out.writeI64("ints", 3, ints);
  ULONGLONG uints[] = {0, 4000000000ULL};
  out.writeU64("uints", 2, uints);
  out.writeL64("lvalues", 2, uints);
  std::vector<double> reals(45);
  for (int i = 0; i < 45; ++i) reals[i] = i * 0.1;
  reals[3] = 2.2250738585072014e-308;  // the undefined real
  out.writeR("reals", 45, reals.data());
  bool flags[] = {true, false, true};
  out.writeB("flags", 3, flags);
  out.writeChars("title", "a \"quoted\" title");
  KString strings[] = {"alpha", "", "with blank"};
  out.writeS("names", 3, strings);
  out.beginObject(KPersistName(12, 3, ""), KPersistName(40, 2, ""));
  out.writeReal(KPersistName(5, 1, ""), 1.5);
  out.endObject();
  out.beginObject("Load", "wind");
  out.writeInt("case", 4);
  out.endObject();
  out.endObject();
  out.Close();
}

// One record as read back: its head and its values as text.
struct FRecord {
  char tag;
  std::string type, name, values;
  int typeId, nameId, nameIndex;
  long long count;
  int depth;
  bool operator==(const FRecord&) const = default;
};

std::vector<FRecord> records(const std::string& path) {
  std::vector<FRecord> out;
  KObjectFileWalker walker(path.c_str());
  KImplPersistance& in = walker.values();
  FObjectFileRecord head;
  while (walker.next(head)) {
    FRecord r{head.m_tag, head.m_type.m_name.GetString(), head.m_name.m_name.GetString(), "",
              head.m_type.m_nId, head.m_name.m_nId, head.m_name.m_nIndex, head.m_count, head.m_depth};
    std::ostringstream v;
    for (long long i = 0; i < head.m_count; ++i) {
      switch (head.m_tag) {
        case 'I': v << in.intValues()[i] << ' '; break;
        case 'U': case 'L': v << in.uintValues()[i] << ' '; break;
        case 'R': {
          double d = in.realValues()[i];
          uint64_t bits;
          memcpy(&bits, &d, 8);
          v << std::hex << bits << std::dec << ' ';
          break;
        }
        case 'B': v << (in.boolValues()[i] ? 'T' : 'F'); break;
        case 'S': v << '"' << in.stringValues()[i].GetString() << "\" "; break;
      }
    }
    if (head.m_tag == 'C') v << in.charValues().GetString();
    r.values = v.str();
    out.push_back(r);
  }
  return out;
}

class ObjectFileCommandsTest : public testing::Test {
 protected:
  KHostRunResult run(const std::vector<std::string>& args) {
    return KHostRun(QUELMHOST_PATH, args, {{"QUELM_REGISTRY_DIR", m_dir.path()}, {"LANG", "C"}});
  }
  std::string path(const char* name) const { return m_dir.path() + "/" + name; }
  std::string sample(bool text, int level) {
    std::string p = path(text ? "sample.txt" : "sample.bin");
    std::unique_ptr<KImplPersistance> out;
    if (text) {
      out = std::make_unique<KTextPersistance>(p.c_str(), true, level);
    } else {
      out = std::make_unique<KBinaryPersistance>(p.c_str(), true, level);
    }
    writeSample(*out);
    return p;
  }

  KScratchFolder m_dir;
};

}  // namespace

TEST_F(ObjectFileCommandsTest, DumpListsObjectsAndAttributesIndented) {
  for (bool text : {true, false}) {
    KHostRunResult r = run({"dump", sample(text, 0)});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find(text ? "Form: text\n" : "Form: binary\n"), std::string::npos);
    EXPECT_NE(r.out.find("Application: 7\nMode: 2\n"), std::string::npos) << r.out;
    const char* expected =
        "OBJECT \"Model\" \"beam\"\n"
        "  I \"ints\" [3]: 1 -2 1099511627776\n"
        "  U \"uints\" [2]: 0 4000000000\n"
        "  L \"lvalues\" [2]: 0 4000000000\n"
        "  R \"reals\" [45]: 0 0.1 0.2 N/A 0.4 0.5 0.6000000000000001 0.7000000000000001 0.8 0.9 ... (35 more)\n"
        "  B \"flags\" [3]: TFT\n"
        "  C \"title\" [16]: \"a \\\"quoted\\\" title\"\n"
        "  S \"names\" [3]: \"alpha\" \"\" \"with blank\"\n"
        "  OBJECT \"\" (id 12) \"\" (id 40) (index 2)\n"
        "    R \"\" (id 5) (index 1) [1]: 1.5\n"
        "  END\n"
        "  OBJECT \"Load\" \"wind\"\n"
        "    I \"case\" [1]: 4\n"
        "  END\n"
        "END\n";
    EXPECT_NE(r.out.find(expected), std::string::npos) << r.out;
  }
}

TEST_F(ObjectFileCommandsTest, DumpAllListsEveryValue) {
  KHostRunResult r = run({"dump", sample(true, 0), "--all"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.find("more)"), std::string::npos);
  char last[40];
  *std::to_chars(last, last + sizeof last, 44 * 0.1).ptr = 0;
  EXPECT_NE(r.out.find(std::string(" 0.8 0.9 1 ")), std::string::npos) << r.out;
  EXPECT_NE(r.out.find(std::string(" ") + last + "\n"), std::string::npos) << r.out;
}

TEST_F(ObjectFileCommandsTest, DumpHeaderPrintsTheHeaderAlone) {
  KHostRunResult r = run({"dump", "--header", sample(false, 0)});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Version: 104\n"), std::string::npos);
  EXPECT_NE(r.out.find("Maximum counts: I32"), std::string::npos);
  EXPECT_NE(r.out.find("R 45, S 3"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("OBJECT"), std::string::npos);
}

TEST_F(ObjectFileCommandsTest, DumpObjectPrintsThatObjectOnly) {
  std::string file = sample(true, 0);
  KHostRunResult r = run({"dump", file, "--object", "LOAD/Wind"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "OBJECT \"Load\" \"wind\"\n  I \"case\" [1]: 4\nEND\n");

  KHostRunResult missing = run({"dump", file, "--object", "Load/storm"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("Load/storm"), std::string::npos) << missing.err;
}

TEST_F(ObjectFileCommandsTest, ConvertTextToBinaryToTextKeepsEveryRecord) {
  std::string original = sample(true, 3);
  std::string binary = path("converted.bin");
  std::string back = path("back.txt");
  KHostRunResult a = run({"convert", original, binary, "--form", "binary", "--level", "6"});
  ASSERT_EQ(a.exitCode, 0) << a.err;
  KHostRunResult b = run({"convert", binary, back, "--form", "text", "--level", "0"});
  ASSERT_EQ(b.exitCode, 0) << b.err;

  std::vector<FRecord> expected = records(original);
  ASSERT_EQ(expected.size(), 15u);
  std::vector<FRecord> viaBinary = records(binary), viaText = records(back);
  ASSERT_EQ(viaBinary.size(), expected.size());
  ASSERT_EQ(viaText.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_TRUE(viaBinary[i] == expected[i]) << "record " << i << " " << expected[i].name;
    EXPECT_TRUE(viaText[i] == expected[i]) << "record " << i << " " << expected[i].name;
  }
  KObjectFileWalker middle(binary.c_str()), last(back.c_str());
  EXPECT_FALSE(middle.isText());
  EXPECT_EQ(middle.getHeaderField(kHdrLevel), 6);
  EXPECT_EQ(middle.getHeaderField(kHdrApplication), 7);
  EXPECT_TRUE(last.isText());
  EXPECT_EQ(last.getHeaderField(kHdrMode), 2);
  EXPECT_EQ(last.getHeaderField(kHdrLevel), 0);
}

TEST_F(ObjectFileCommandsTest, DamagedFilesFailNamingTheFile) {
  std::string good = readFile(sample(false, 0));
  std::string cut = path("cut.bin");
  writeFile(cut, good.substr(0, good.size() - 40));
  std::string noise = path("noise.bin");
  writeFile(noise, std::string("not an object file at all\n"));
  std::string flipped = path("flipped.txt");
  std::string text = readFile(sample(true, 0));
  text.replace(text.find("S,\"names\", 0, 0, 3,"), 19, "S,\"names\", 0, 0, x,");
  writeFile(flipped, text);

  for (const std::string& file : {cut, noise, flipped, path("absent.bin")}) {
    KHostRunResult r = run({"dump", file});
    EXPECT_EQ(r.exitCode, 1) << file;
    EXPECT_NE(r.err.find("quelmhost: cannot read " + file), std::string::npos) << r.err;
  }
}

TEST_F(ObjectFileCommandsTest, FailedConvertLeavesTheTargetAsItWas) {
  std::string good = readFile(sample(false, 0));
  std::string cut = path("cut.bin");
  writeFile(cut, good.substr(0, good.size() - 40));
  std::string target = path("target.txt");
  writeFile(target, "old content");
  KHostRunResult r = run({"convert", cut, target, "--form", "text"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find(cut), std::string::npos) << r.err;
  EXPECT_EQ(readFile(target), "old content");
}

// Convert reads as it writes, so damage past the stretch checked at open is
// met mid-copy: the copy must still fail and leave the target alone.
TEST_F(ObjectFileCommandsTest, DamageFoundMidCopyLeavesTheTargetAsItWas) {
  std::string big = path("big.txt");
  {
    KTextPersistance out(big.c_str(), true, 0);
    out.beginObject("Model", "big");
    std::vector<double> reals(1000);
    for (int k = 0; k < 1000; ++k) reals[k] = k / 7.0;
    for (int i = 0; i < 60; ++i) {
      std::string name = "p" + std::to_string(i);
      out.beginObject("Part", name.c_str());
      out.writeR("r", 1000, reals.data());
      out.endObject();
    }
    out.endObject();
    out.Close();
  }
  std::string text = readFile(big);
  ASSERT_GT(text.size(), 1000000u);
  size_t last = text.rfind("R,\"r\", 0, 0, 1000,");
  ASSERT_NE(last, std::string::npos);
  text.replace(last, 19, "R,\"r\", 0, 0, xxxx,");
  writeFile(big, text);
  std::string target = path("target.bin");
  writeFile(target, "old content");
  KHostRunResult r = run({"convert", big, target, "--form", "binary"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("cannot read " + big), std::string::npos) << r.err;
  EXPECT_EQ(readFile(target), "old content");
}

TEST_F(ObjectFileCommandsTest, WrongUsageExitsWithTwo) {
  std::string file = sample(true, 0);
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"dump"}, {"dump", file, file}, {"dump", file, "--object"}, {"dump", file, "--object", "noslash"},
           {"dump", file, "--frobnicate"}, {"convert", file}, {"convert", file, path("o")},
           {"convert", file, path("o"), "--form", "xml"},
           {"convert", file, path("o"), "--form", "text", "--level", "12"}}) {
    KHostRunResult r = run(args);
    EXPECT_EQ(r.exitCode, 2) << args.size();
    EXPECT_NE(r.err.find("usage: quelmhost " + args[0]), std::string::npos) << r.err;
  }
}
