#include "platform/KFileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/KFaultFileSystem.h"
#include "platform/KMemFileSystem.h"
#include "tests/support/KScratchFolder.h"

namespace {

// Every test runs on the POSIX file system (in a scratch folder) and on the
// in-memory one (in a folder "/m"): both keep the same contract.
class KFileSystemTest : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) {
      m_fs = &m_memory;
      m_dir = "/m";
      ASSERT_EQ(m_memory.createDirectory("/m"), 0);
    } else {
      ASSERT_FALSE(m_scratch.path().empty());
      m_dir = m_scratch.path();
    }
  }
  std::string path(const char* name) const { return m_dir + "/" + name; }

  // Writes `text` to a new file through fs; answers the first error.
  static int writeFile(KFileSystem* fs, const std::string& p, const std::string& text) {
    KFileSystem::Handle h;
    if (int rc = fs->open(p.c_str(), KFileSystem::kWrite | KFileSystem::kCreate | KFileSystem::kTruncate, h)) return rc;
    size_t done;
    int rc = fs->write(h, text.data(), text.size(), done);
    if (!rc) rc = fs->sync(h);
    int rcClose = fs->close(h);
    return rc ? rc : rcClose;
  }
  static std::string readFile(KFileSystem* fs, const std::string& p) {
    KFileSystem::Handle h;
    if (fs->open(p.c_str(), KFileSystem::kRead, h)) return "<missing>";
    std::string text(1000, '\0');
    size_t done = 0;
    fs->read(h, text.data(), text.size(), done);
    fs->close(h);
    text.resize(done);
    return text;
  }

  KScratchFolder m_scratch{"fs"};
  KMemFileSystem m_memory;
  KFileSystem* m_fs = KFileSystem::Default();
  std::string m_dir;
};

}  // namespace

INSTANTIATE_TEST_SUITE_P(PosixAndMemory, KFileSystemTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Memory" : "Posix"; });

TEST_P(KFileSystemTest, WriteReadSeekAndSize) {
  KFileSystem::Handle h;
  ASSERT_EQ(m_fs->open(path("a").c_str(), KFileSystem::kReadWrite | KFileSystem::kCreate, h), 0);
  size_t done = 0;
  ASSERT_EQ(m_fs->write(h, "hello world", 11, done), 0);
  EXPECT_EQ(done, 11u);
  uint64_t pos = 0, bytes = 0;
  ASSERT_EQ(m_fs->seek(h, -5, KFileSystem::kEnd, pos), 0);
  EXPECT_EQ(pos, 6u);
  char buf[16] = {};
  ASSERT_EQ(m_fs->read(h, buf, sizeof buf, done), 0);
  EXPECT_EQ(done, 5u);  // short only because the file ends
  EXPECT_EQ(std::string(buf, done), "world");
  ASSERT_EQ(m_fs->tell(h, pos), 0);
  EXPECT_EQ(pos, 11u);
  ASSERT_EQ(m_fs->truncate(h, 5), 0);
  ASSERT_EQ(m_fs->size(h, bytes), 0);
  EXPECT_EQ(bytes, 5u);
  EXPECT_EQ(m_fs->seek(h, -1, KFileSystem::kBegin, pos), EINVAL);
  EXPECT_EQ(m_fs->close(h), 0);
}

TEST_P(KFileSystemTest, OpenFailuresAnswerErrno) {
  KFileSystem::Handle h = 0;
  EXPECT_EQ(m_fs->open(path("missing").c_str(), KFileSystem::kRead, h), ENOENT);
  EXPECT_EQ(h, KFileSystem::kInvalidHandle);
  EXPECT_EQ(m_fs->open(path("missing/x").c_str(), KFileSystem::kWrite | KFileSystem::kCreate, h), ENOENT);
  EXPECT_EQ(m_fs->open(m_dir.c_str(), KFileSystem::kRead, h), EISDIR);
  ASSERT_EQ(writeFile(m_fs, path("f"), "x"), 0);
  EXPECT_EQ(m_fs->open(path("f/x").c_str(), KFileSystem::kRead, h), ENOTDIR);
  EXPECT_EQ(m_fs->open(path("f").c_str(), KFileSystem::kWrite | KFileSystem::kCreate | KFileSystem::kExclusive, h),
            EEXIST);
  EXPECT_EQ(m_fs->open(path("f").c_str(), 0, h), EINVAL);
}

TEST_P(KFileSystemTest, RenameReplacesTargetAtomically) {
  ASSERT_EQ(writeFile(m_fs, path("new"), "new"), 0);
  ASSERT_EQ(writeFile(m_fs, path("old"), "old"), 0);
  ASSERT_EQ(m_fs->rename(path("new").c_str(), path("old").c_str()), 0);
  EXPECT_EQ(readFile(m_fs, path("old")), "new");
  EXPECT_FALSE(m_fs->exists(path("new").c_str()));
  EXPECT_EQ(m_fs->rename(path("new").c_str(), path("old").c_str()), ENOENT);
  EXPECT_EQ(m_fs->remove(path("old").c_str()), 0);
  EXPECT_EQ(m_fs->remove(path("old").c_str()), ENOENT);
  // The folder's entries can be made durable after the rename; only folders can.
  EXPECT_EQ(m_fs->syncDirectory(m_dir.c_str()), 0);
  EXPECT_EQ(m_fs->syncDirectory(path("missing").c_str()), ENOENT);
  ASSERT_EQ(writeFile(m_fs, path("plain"), "x"), 0);
  EXPECT_EQ(m_fs->syncDirectory(path("plain").c_str()), ENOTDIR);
}

TEST_P(KFileSystemTest, FoldersCreateListAndReportSpace) {
  std::string deep = path("a/b/c");
  ASSERT_EQ(m_fs->createDirectories((deep + "/").c_str()), 0);
  EXPECT_EQ(m_fs->createDirectories(deep.c_str()), 0);  // already there
  EXPECT_EQ(m_fs->createDirectory(deep.c_str()), EEXIST);
  ASSERT_EQ(writeFile(m_fs, path("a/f"), ""), 0);
  EXPECT_EQ(m_fs->createDirectories(path("a/f/g").c_str()), ENOTDIR);
  std::vector<KString> names;
  ASSERT_EQ(m_fs->listDirectory(path("a").c_str(), names), 0);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<KString>{"b", "f"}));
  EXPECT_EQ(m_fs->listDirectory(path("none").c_str(), names), ENOENT);
  uint64_t free = 0;
  ASSERT_EQ(m_fs->freeSpace(m_dir.c_str(), free), 0);
  EXPECT_GT(free, 0u);
}

TEST_P(KFileSystemTest, TempFilesAreNewAndDistinct) {
  KString a, b;
  ASSERT_EQ(m_fs->createTempFile(m_dir.c_str(), "qt", a), 0);
  ASSERT_EQ(m_fs->createTempFile(m_dir.c_str(), "qt", b), 0);
  EXPECT_NE(a, b);
  EXPECT_TRUE(m_fs->exists(a));
  EXPECT_EQ(a.Find((m_dir + "/qt").c_str()), 0);
  EXPECT_EQ(m_fs->createTempFile(path("none").c_str(), "qt", a), ENOENT);
}

TEST_P(KFileSystemTest, LocksConflictBetweenHandles) {
  ASSERT_EQ(writeFile(m_fs, path("l"), "x"), 0);
  KFileSystem::Handle h1, h2;
  ASSERT_EQ(m_fs->open(path("l").c_str(), KFileSystem::kRead, h1), 0);
  ASSERT_EQ(m_fs->open(path("l").c_str(), KFileSystem::kRead, h2), 0);
  EXPECT_EQ(m_fs->lock(h1, false, false), 0);
  EXPECT_EQ(m_fs->lock(h2, false, false), 0);  // shared locks coexist
  EXPECT_EQ(m_fs->unlock(h2), 0);
  EXPECT_EQ(m_fs->lock(h2, true, false), EWOULDBLOCK);
  EXPECT_EQ(m_fs->unlock(h1), 0);
  EXPECT_EQ(m_fs->lock(h2, true, false), 0);
  m_fs->close(h1);
  m_fs->close(h2);
}

TEST_P(KFileSystemTest, CurrentIsSwappableAndRestored) {
  KFaultFileSystem faults(m_fs);
  ASSERT_EQ(KFileSystem::Current(), KFileSystem::Default());
  EXPECT_EQ(KFileSystem::SetCurrent(&faults), KFileSystem::Default());
  EXPECT_EQ(KFileSystem::Current(), &faults);
  EXPECT_EQ(KFileSystem::SetCurrent(nullptr), &faults);
  EXPECT_EQ(KFileSystem::Current(), KFileSystem::Default());
}

TEST_P(KFileSystemTest, FaultFailsOnlyTheNthCallOfItsKind) {
  KFaultFileSystem faults(m_fs);
  faults.failNth(KFaultFileSystem::kWrite, 2, ENOSPC);
  KFileSystem::Handle h;
  ASSERT_EQ(faults.open(path("w").c_str(), KFileSystem::kWrite | KFileSystem::kCreate, h), 0);
  size_t done;
  EXPECT_EQ(faults.write(h, "ab", 2, done), 0);
  EXPECT_FALSE(faults.fired());
  EXPECT_EQ(faults.write(h, "cd", 2, done), ENOSPC);
  EXPECT_EQ(done, 0u);
  EXPECT_TRUE(faults.fired());
  EXPECT_EQ(faults.write(h, "ef", 2, done), 0);  // one-shot
  EXPECT_EQ(faults.close(h), 0);
  EXPECT_EQ(faults.callCount(KFaultFileSystem::kWrite), 3);
  EXPECT_EQ(faults.callCount(KFaultFileSystem::kAny), 5);
  EXPECT_EQ(readFile(m_fs, path("w")), "abef");
}

TEST_P(KFileSystemTest, PersistentFaultKeepsFailing) {
  KFaultFileSystem faults(m_fs);
  faults.failNth(KFaultFileSystem::kRename, 1, EIO, true);
  EXPECT_EQ(faults.rename("x", "y"), EIO);
  EXPECT_EQ(faults.rename("x", "y"), EIO);
  faults.reset();
  EXPECT_EQ(faults.rename(path("x").c_str(), path("y").c_str()), ENOENT);  // reaches the target again
}

TEST_P(KFileSystemTest, ShortWriteLeavesHalfTheBytes) {
  KFaultFileSystem faults(m_fs);
  faults.setShortWrite(true);
  faults.failNth(KFaultFileSystem::kWrite, 1, ENOSPC);
  EXPECT_EQ(writeFile(&faults, path("s"), "12345678"), ENOSPC);
  EXPECT_EQ(readFile(m_fs, path("s")), "1234");
}

TEST_P(KFileSystemTest, FailingCloseStillReleasesTheHandle) {
  KFaultFileSystem faults(m_fs);
  faults.failNth(KFaultFileSystem::kClose, 1, EIO);
  KFileSystem::Handle h;
  ASSERT_EQ(faults.open(path("c").c_str(), KFileSystem::kWrite | KFileSystem::kCreate, h), 0);
  EXPECT_EQ(faults.close(h), EIO);
  EXPECT_EQ(m_fs->close(h), EBADF);
}

// Fails each call of a small save in turn: every failure is reported and the
// file the save replaces stays whole, until the save runs through.
TEST_P(KFileSystemTest, EachStepOfASafeSaveFailsInTurn) {
  KFaultFileSystem faults(m_fs);
  ASSERT_EQ(writeFile(m_fs, path("doc"), "old"), 0);
  long n = 1;
  for (;; ++n) {
    faults.failNth(KFaultFileSystem::kAny, n, EIO);
    int rc = writeFile(&faults, path("doc.tmp"), "new");
    if (!rc) rc = faults.rename(path("doc.tmp").c_str(), path("doc").c_str());
    if (!faults.fired()) {
      EXPECT_EQ(rc, 0);
      break;
    }
    EXPECT_EQ(rc, EIO) << "call " << n;
    EXPECT_EQ(readFile(m_fs, path("doc")), "old") << "call " << n;
  }
  EXPECT_EQ(n, 6);  // open, write, sync, close, rename all failed once
  EXPECT_EQ(readFile(m_fs, path("doc")), "new");
}

// An atomic replace leaves the old file whole and no temporary behind when
// any of its steps fails, and the new content with its permissions when none
// does. A failed folder sync comes after the rename and is not a failure.
TEST_P(KFileSystemTest, AtomicWriteFailsEachStepInTurnKeepingTheOldFile) {
  KFaultFileSystem faults(m_fs);
  long n = 1;
  for (;; ++n) {
    ASSERT_EQ(writeFile(m_fs, path("doc"), "old"), 0);
    faults.failNth(KFaultFileSystem::kAny, n, ENOSPC);
    int rc = faults.writeFileAtomically(path("doc").c_str(), "new", 3, 0600, ".doc.tmp-");
    if (!faults.fired()) break;
    std::vector<KString> names;
    ASSERT_EQ(m_fs->listDirectory(m_dir.c_str(), names), 0);
    EXPECT_EQ(names, std::vector<KString>{"doc"}) << "call " << n;
    if (rc == 0) {
      EXPECT_EQ(readFile(m_fs, path("doc")), "new") << "call " << n;
    } else {
      EXPECT_EQ(rc, ENOSPC) << "call " << n;
      EXPECT_EQ(readFile(m_fs, path("doc")), "old") << "call " << n;
    }
  }
  // Temporary file created and closed, then opened, written, given its
  // permissions, synced, closed, renamed, and the folder synced.
  EXPECT_EQ(n, 10);
  EXPECT_EQ(readFile(m_fs, path("doc")), "new");
  if (GetParam()) {
    EXPECT_EQ(m_memory.permissions(path("doc").c_str()), 0600);
  }
  EXPECT_EQ(m_fs->writeFileAtomically(path("none/doc").c_str(), "x", 1, 0600, "t"), ENOENT);
}

TEST(KMemFileSystemTest, FullDiskRemovedOpenFilesAndHandles) {
  KMemFileSystem fs;
  fs.setCapacity(10);
  KFileSystem::Handle h, r;
  ASSERT_EQ(fs.open("/a", KFileSystem::kReadWrite | KFileSystem::kCreate, h), 0);
  size_t done = 0;
  EXPECT_EQ(fs.write(h, "0123456789", 10, done), 0);
  EXPECT_EQ(fs.write(h, "x", 1, done), ENOSPC);
  EXPECT_EQ(done, 0u);
  uint64_t pos = 0, free = 1;
  ASSERT_EQ(fs.seek(h, 2, KFileSystem::kBegin, pos), 0);
  EXPECT_EQ(fs.write(h, "ab", 2, done), 0);  // overwriting needs no new space
  ASSERT_EQ(fs.freeSpace("/", free), 0);
  EXPECT_EQ(free, 0u);
  ASSERT_EQ(fs.open("/a", KFileSystem::kRead, r), 0);
  ASSERT_EQ(fs.remove("/a"), 0);
  EXPECT_FALSE(fs.exists("/a"));
  char buf[16] = {};
  ASSERT_EQ(fs.read(r, buf, sizeof buf, done), 0);
  EXPECT_EQ(std::string(buf, done), "01ab456789");
  EXPECT_EQ(fs.openHandles(), 2u);
  EXPECT_EQ(fs.close(h), 0);
  EXPECT_EQ(fs.close(r), 0);
  EXPECT_EQ(fs.close(r), EBADF);
  EXPECT_EQ(fs.openHandles(), 0u);
}
