// quelmhost script end to end: Python scripts run by the embedded
// interpreter drive the library through module quelm; --model saves the
// model only when the script ends without error.
#include "tests/host/KHostRun.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

class QuelmHostScriptTest : public testing::Test {
 protected:
  std::string write(const std::string& name, const std::string& text) {
    std::string path = m_folder.path() + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
  std::string read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::map<std::string, std::string> env() {
    return {{"QUELM_REGISTRY_DIR", m_folder.path()}, {"LANG", "C"}, {"LC_ALL", ""},
            {"LSAN_OPTIONS", "suppressions=" QUELM_LSAN_SUPPRESSIONS ":print_suppressions=0"}, {"PYTHONDONTWRITEBYTECODE", "1"},
            {"PYTHONMALLOC", "malloc"}};
  }
  KHostRunResult run(std::vector<std::string> args) {
    args.insert(args.begin(), "script");
    return KHostRun(QUELMHOST_PATH, args, env());
  }
  KHostRunResult script(const std::string& text, std::vector<std::string> more = {}) {
    more.insert(more.begin(), write("s.py", text));
    return run(more);
  }
  KScratchFolder m_folder;
};

// The last non-empty line of a text.
std::string lastLine(const std::string& text) {
  size_t end = text.find_last_not_of('\n');
  if (end == std::string::npos) return std::string();
  size_t begin = text.rfind('\n', end);
  return text.substr(begin == std::string::npos ? 0 : begin + 1, end - (begin == std::string::npos ? 0 : begin + 1) + 1);
}

}  // namespace

TEST_F(QuelmHostScriptTest, ArgumentsAndStandardInput) {
  KHostRunResult r = script("import sys\nprint(sys.argv[1:])\n", {"a b", "-3"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "['a b', '-3']\n");
  std::string file = write("in.py", "import sys, quelm\nprint(sys.argv, quelm.numberToText(0.5))\n");
  r = KHostRun("/bin/sh", {"-c", std::string("\"$0\" script - x < \"$1\""), QUELMHOST_PATH, file}, env());
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "['-', 'x'] 0.5\n");
  EXPECT_EQ(run({m_folder.path() + "/missing.py"}).exitCode, 1);
  EXPECT_EQ(run({}).exitCode, 2);
}

TEST_F(QuelmHostScriptTest, ExitStatusFollowsTheScript) {
  EXPECT_EQ(script("import sys\nsys.exit(3)\n").exitCode, 3);
  EXPECT_EQ(script("import sys\nsys.exit()\n").exitCode, 0);
  KHostRunResult r = script("def f():\n    raise ValueError('boom')\nf()\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(lastLine(r.err), "ValueError: boom") << r.err;
  EXPECT_NE(r.err.find("line 2, in f"), std::string::npos) << r.err;
}

TEST_F(QuelmHostScriptTest, ValuesCrossAsVariants) {
  KHostRunResult r = script(
      "import quelm\n"
      "m = quelm.Matrix3([[1, 2, 3], [0, 1, 4], [5, 6, 0]])\n"
      "print(m.toVariant(), m.determinant())\n"
      "m.invert()\n"
      "print([[round(x, 9) for x in row] for row in m.toVariant()])\n"
      "print(quelm.textToReal('2*3+0.5'), quelm.numberToText(1/3, 4))\n"
      "print(quelm.textToReal(\"5' 6\\\"\", 292024141, 'lbf,ft,lb,s,F'))\n");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "[[1.0, 2.0, 3.0], [0.0, 1.0, 4.0], [5.0, 6.0, 0.0]] 1.0\n"
            "[[-24.0, 18.0, 5.0], [20.0, -15.0, -4.0], [-5.0, 4.0, 1.0]]\n"
            "6.5 0.3333\n"
            "5.5\n");
}

TEST_F(QuelmHostScriptTest, ScriptErrorsCarrySourceAndDescription) {
  KHostRunResult r = script(
      "import quelm\n"
      "s = quelm.OptionsStore()\n"
      "try:\n"
      "    s.setInteger('n', 'abc')\n"
      "except quelm.ScriptError as e:\n"
      "    print(e.source, '/', e.description)\n"
      "s.getDouble('x', [1])\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "setInteger / Optional arg must be integer\n");
  EXPECT_EQ(lastLine(r.err), "quelm.ScriptError: getDouble: Optional arg must be real") << r.err;
  r = script("import quelm\nquelm.textToReal('1', 0, 'N,parsec,kg,s,C')\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(lastLine(r.err).rfind("quelm.ScriptError: textToReal: ", 0), 0u) << r.err;
}

TEST_F(QuelmHostScriptTest, WrappersFollowTheObjectsLifetime) {
  KHostRunResult r = script(
      "import quelm\n"
      "s = quelm.OptionsStore()\n"
      "t = quelm.OptionsStore()\n"
      "print(quelm.OptionsStore.liveCount())\n"
      "del s\n"
      "print(quelm.OptionsStore.liveCount())\n"
      "model = quelm.Model('" + m_folder.path() + "/m.qob')\n"
      "o = model.options\n"
      "print(o is model.options, o.alive)\n"
      "model.close()\n"
      "print(o.alive)\n"
      "o.getInteger('n')\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "2\n1\nTrue True\nFalse\n");
  EXPECT_EQ(lastLine(r.err), "ReferenceError: the object no longer exists") << r.err;
}

TEST_F(QuelmHostScriptTest, ModelIsSavedOnlyWhenTheScriptSucceeds) {
  std::string model = m_folder.path() + "/model.qob";
  KHostRunResult r = script("options.setInteger('k', 5)\noptions.setString('t', 'a \"q\"', False)\n",
                            {"--model", model});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string saved = read(model);
  r = KHostRun(QUELMHOST_PATH, {"options", model, "get", "t"}, env());
  EXPECT_EQ(r.out, "\"a \"\"q\"\"\"\n");
  r = script("print(options.getInteger('k'), options.isVisible('t'))\noptions.setInteger('k', 6)\nraise KeyError('x')\n",
             {"--model", model});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "5 False\n");
  EXPECT_EQ(lastLine(r.err), "KeyError: 'x'");
  EXPECT_EQ(read(model), saved);
  // The text form holds no line ends: the save fails and the model stays.
  r = script("options.setString('t', 'a\\nb')\n", {"--model", model});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
  EXPECT_EQ(read(model), saved);
  write("bad.qob", "not an object file");
  r = script("print('ran')\n", {"--model", m_folder.path() + "/bad.qob"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
}

TEST_F(QuelmHostScriptTest, ObjectFilesRoundTripThroughPythonValues) {
  std::string dir = m_folder.path();
  KHostRunResult r = script(
      "import quelm\n"
      "recs = [('O', 'KThing', 'a'), ('I', 'n', [1, -2, 2**40]), ('R', 'r', [1.5, -0.0]), ('S', 's', ['x', 'y \"z\"']),\n"
      "        ('B', 'b', [True, False]), ('C', 'c', 'hi'), ('O', 'KInner', 'i'), ('U', 'u', [7]), ('E', 'KInner', 'i'),\n"
      "        ('E', 'KThing', 'a')]\n"
      "quelm.writeObjectFile('" + dir + "/t.qob', recs)\n"
      "quelm.writeObjectFile('" + dir + "/b.qob', recs, form='binary', level=6)\n"
      "t = quelm.readObjectFile('" + dir + "/t.qob')\n"
      "b = quelm.readObjectFile('" + dir + "/b.qob')\n"
      "print(t['form'], b['form'], b['level'], t['records'] == recs, b['records'] == recs)\n"
      "try:\n"
      "    quelm.writeObjectFile('" + dir + "/t.qob', [('O', 'KThing', 'a'), ('Q', 'n', [1])])\n"
      "except ValueError as e:\n"
      "    print(e)\n"
      "print(quelm.readObjectFile('" + dir + "/t.qob')['records'] == recs)\n"
      "quelm.readObjectFile('" + dir + "/none.qob')\n");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "text binary 6 True True\nunknown record tag Q\nTrue\n");
  EXPECT_EQ(lastLine(r.err).rfind("OSError: ", 0), 0u) << r.err;
}

TEST_F(QuelmHostScriptTest, PythonReplayScriptRebuildsTheOptions) {
  std::string model = m_folder.path() + "/k.qob";
  ASSERT_EQ(KHostRun(QUELMHOST_PATH, {"options", model, "set", "k", "7"}, env()).exitCode, 0);
  ASSERT_EQ(KHostRun(QUELMHOST_PATH, {"options", model, "set", "t", "a\"b\\"}, env()).exitCode, 0);
  // Option texts are bytes: valid UTF-8 stays (a no-break space too), C0 and
  // C1 controls and DEL are escaped, and every other byte (a lone lead byte,
  // an encoded surrogate, an overlong form) is the lone surrogate that
  // surrogateescape turns back into it.
  ASSERT_EQ(KHostRun(QUELMHOST_PATH, {"options", model, "set", "u\xFF", "\xE9" "a\xC3\xA9\xC2\x85\xED\xA0\x80\xF0\x9F\x98\x80" "\xC0\x80" "\x7F" "\xC2\x9F" "\xC2\xA0"},
                     env()).exitCode, 0);
  const std::string expected =
      "options.setInteger(\"k\", 7, True)\n"
      "options.setString(\"u\\udcff\", \"\\udce9a\xC3\xA9\\x85\\udced\\udca0\\udc80\xF0\x9F\x98\x80"
      "\\udcc0\\udc80\\x7f\\x9f\xC2\xA0\", True)\n"
      "options.setString(\"t\", \"a\\\"b\\\\\", True)\n";
  KHostRunResult r = KHostRun(QUELMHOST_PATH, {"options", model, "script"}, env());
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, expected);
  EXPECT_EQ(KHostRun(QUELMHOST_PATH, {"options", model, "script", "--python"}, env()).out, expected);
  r = KHostRun(QUELMHOST_PATH, {"options", model, "script", "--commands"}, env());
  EXPECT_EQ(r.out.rfind("setInteger \"k\" 7 true\n", 0), 0u) << r.out;
  EXPECT_EQ(KHostRun(QUELMHOST_PATH, {"options", model, "script", "--python", "--commands"}, env()).exitCode, 2);
  EXPECT_EQ(KHostRun(QUELMHOST_PATH, {"options", model, "list", "--python"}, env()).exitCode, 2);
  EXPECT_EQ(KHostRun(QUELMHOST_PATH, {"options", model, "list", "--commands"}, env()).exitCode, 2);
  std::string copy = m_folder.path() + "/k2.qob";
  ASSERT_EQ(script(expected, {"--model", copy}).exitCode, 0);
  EXPECT_EQ(KHostRun(QUELMHOST_PATH, {"options", copy, "list"}, env()).out,
            KHostRun(QUELMHOST_PATH, {"options", model, "list"}, env()).out);

  // Random stores: replaying the script of one into a new model gives the
  // same options, byte for byte.
  for (int seed = 1; seed <= 4; ++seed) {
    std::string a = m_folder.path() + "/a" + std::to_string(seed) + ".qob";
    std::string b = m_folder.path() + "/b" + std::to_string(seed) + ".qob";
    r = run({QUELM_TEST_DATA "/pyscript/random_options.py", std::to_string(seed), "--model", a});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    r = KHostRun(QUELMHOST_PATH, {"options", a, "script", "--all"}, env());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(script(r.out, {"--model", b}).exitCode, 0) << r.out;
    for (const char* action : {"list", "script"}) {
      std::vector<std::string> args{"options", a, action};
      if (std::string(action) == "script") args.insert(args.end(), {"--all", "--commands"});
      std::string fromA = KHostRun(QUELMHOST_PATH, args, env()).out;
      args[1] = b;
      EXPECT_EQ(KHostRun(QUELMHOST_PATH, args, env()).out, fromA) << "seed " << seed;
      EXPECT_NE(fromA.find("o29"), std::string::npos);
      EXPECT_NE(fromA.find('\xFF'), std::string::npos) << "seed " << seed;
    }
  }
}
