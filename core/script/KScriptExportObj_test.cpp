#include "core/script/KScriptExportObjImpl.h"

#include "core/application/KApplicationAbstract.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
// A host that records the handles it is asked to release and answers calls
// with the member identifier doubled.
class KRecordingHost : public KApplicationAbstract {
 public:
  KRecordingHost() { m_previous = KSetApplication(this); }
  ~KRecordingHost() override { KSetApplication(m_previous); }

  void ReleaseScriptHandle(void* handle) override { m_released.push_back(handle); }
  HRESULT ForwardScriptCall(void* handle, KScriptExportObj* object, long memberId, VARIANT*, int,
                            VARIANT* result) override {
    m_calledHandle = handle;
    m_calledObject = object;
    if (!result) return S_OK;
    result->vt = VT_R8;
    result->dblVal = memberId * 2.0;
    return S_OK;
  }

  std::vector<void*> m_released;
  void* m_calledHandle = nullptr;
  KScriptExportObj* m_calledObject = nullptr;

 private:
  KApplicationAbstract* m_previous = nullptr;
};

// Counts its destructions so that a self-deletion can be seen.
class KCountedExport : public KScriptExportObjImpl<KScriptExportObj> {
 public:
  explicit KCountedExport(int* destroyed) : m_destroyed(destroyed) {}
  ~KCountedExport() override { ++*m_destroyed; }

 private:
  int* m_destroyed;
};

void* handle(int n) { return reinterpret_cast<void*>(static_cast<intptr_t>(0x1000 + n)); }
}  // namespace

TEST(KScriptExportObjTest, LastReleaseWithoutDeleteFlagKeepsObjectAndNullsHandle) {
  KRecordingHost host;
  int destroyed = 0;
  {
    KCountedExport object(&destroyed);
    EXPECT_FALSE(object.getDeleteOnLastScriptRelease());
    object.setScriptHandle(handle(1));
    object.onLastScriptRelease();
    EXPECT_EQ(destroyed, 0);
    EXPECT_EQ(object.getScriptHandle(), nullptr);
  }
  EXPECT_EQ(destroyed, 1);
  EXPECT_TRUE(host.m_released.empty());  // the script had already let go
}

TEST(KScriptExportObjTest, LastReleaseWithDeleteFlagDeletesObject) {
  KRecordingHost host;
  int destroyed = 0;
  auto* object = new KCountedExport(&destroyed);
  object->setDeleteOnLastScriptRelease(true);
  object->setScriptHandle(handle(2));
  object->onLastScriptRelease();
  EXPECT_EQ(destroyed, 1);
  EXPECT_TRUE(host.m_released.empty());
}

TEST(KScriptExportObjTest, DestroyingAHandedOutObjectReleasesItsHandleOnce) {
  KRecordingHost host;
  int destroyed = 0;
  {
    KCountedExport never(&destroyed);
    KCountedExport handed(&destroyed);
    handed.setScriptHandle(handle(3));
  }
  ASSERT_EQ(host.m_released.size(), 1u);
  EXPECT_EQ(host.m_released[0], handle(3));
}

TEST(KScriptExportObjTest, CopiesTakeTheFlagButNeverTheHandle) {
  KRecordingHost host;
  int destroyed = 0;
  {
    KCountedExport original(&destroyed);
    original.setScriptHandle(handle(4));
    original.setDeleteOnLastScriptRelease(true);
    KCountedExport copy(original);
    EXPECT_TRUE(copy.getDeleteOnLastScriptRelease());
    EXPECT_EQ(copy.getScriptHandle(), nullptr);

    KCountedExport target(&destroyed);
    target.setScriptHandle(handle(5));
    target = original;
    EXPECT_TRUE(target.getDeleteOnLastScriptRelease());
    EXPECT_EQ(target.getScriptHandle(), handle(5));
    target.setDeleteOnLastScriptRelease(false);
    original.setDeleteOnLastScriptRelease(false);
  }
  // Each handle released exactly once, by its own object.
  ASSERT_EQ(host.m_released.size(), 2u);
  EXPECT_EQ(host.m_released[0], handle(5));
  EXPECT_EQ(host.m_released[1], handle(4));
}

TEST(KScriptExportObjTest, CallsGoToTheHostWithTheObjectsHandle) {
  KRecordingHost host;
  int destroyed = 0;
  KCountedExport object(&destroyed);
  object.setScriptHandle(handle(6));
  EXPECT_EQ(object.query(21), 42);
  EXPECT_EQ(host.m_calledHandle, handle(6));
  EXPECT_EQ(host.m_calledObject, &object);
  object.setScriptHandle(nullptr);
}

TEST(KScriptExportObjTest, WithoutAScriptHostCallsFailAndQueriesAnswerZero) {
  int destroyed = 0;
  KCountedExport object(&destroyed);
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(object.forwardScriptCall(1, nullptr, 0, &result), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(object.query(7), 0);
}
