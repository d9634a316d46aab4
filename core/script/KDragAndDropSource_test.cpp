#include "core/script/KDragAndDropSource.h"

#include "core/application/KApplicationAbstract.h"
#include "core/script/KGenericTreeItem.h"

#include <gtest/gtest.h>

#include <vector>

namespace {
typedef KScriptExportObjImpl<KGenericTreeItem> KItem;

// A host with a fixed start time that keeps its output lines.
class KDragHost : public KApplicationAbstract {
 public:
  explicit KDragHost(__time64_t start) : m_start(start) { m_previous = KSetApplication(this); }
  ~KDragHost() override { KSetApplication(m_previous); }
  __time64_t GetStartTime() override { return m_start; }
  void OutputLine(const KString& text) override { m_lines.push_back(text); }
  __time64_t m_start;
  std::vector<KString> m_lines;

 private:
  KApplicationAbstract* m_previous = nullptr;
};

KString addressText(const void* p) {
  KString s;
  s.Format("%Id", reinterpret_cast<intptr_t>(p));
  return s;
}
}  // namespace

TEST(KDragAndDropSourceTest, PayloadNamesTheInstanceTheTypeAndTheAddress) {
  KDragHost host(1700000000);
  KItem item;
  KString payload = item.makeByAddressPayload("Loadcase");
  EXPECT_EQ(payload, KDragAndDropSource::payloadTimeStamp() + "'Loadcase'" + addressText(&item));
  KString stamp = KDragAndDropSource::payloadTimeStamp();
  ASSERT_EQ(stamp.GetLength(), 19);  // YYYY:MM:DD:HH:MM:SS
  EXPECT_EQ(stamp.Left(5), "2023:");
  EXPECT_EQ(KDragAndDropSource::fromByAddressPayload(payload, "Loadcase"), &item);
}

TEST(KDragAndDropSourceTest, DropThroughTheDataSourceInTheRegisteredFormat) {
  KDragHost host(1700000000);
  KItem item;
  CLIPFORMAT format = KDragAndDropSource::getByAddressFormat();
  EXPECT_GE(format, 0xC000);
  EXPECT_EQ(format, RegisterClipboardFormatA("BY ADDRESS"));
  UINT created = KOleDataSource::m_created_S, destroyed = KOleDataSource::m_destroyed_S;
  {
    std::unique_ptr<KOleDataSource> data = item.createDataSource("Group");
    EXPECT_TRUE(data->IsDataAvailable(format));
    EXPECT_EQ(KDragAndDropSource::fromDataSource(*data, "Group"), &item);
    EXPECT_EQ(KDragAndDropSource::fromDataSource(*data, "Loadcase"), nullptr);
    COleDataSource other;
    EXPECT_EQ(KDragAndDropSource::fromDataSource(other, "Group"), nullptr);
  }
  EXPECT_EQ(KOleDataSource::m_created_S, created + 1);
  EXPECT_EQ(KOleDataSource::m_destroyed_S, destroyed + 1);
  KOleDataSource::dumpCounters();
  ASSERT_EQ(host.m_lines.size(), 2u);
  KString expected;
  expected.Format("KOleDataSource::m_created_S %u", created + 1);
  EXPECT_EQ(host.m_lines[0], expected);
  expected.Format("KOleDataSource::m_destroyed_S %u", destroyed + 1);
  EXPECT_EQ(host.m_lines[1], expected);
}

TEST(KDragAndDropSourceTest, PayloadsFromAnotherInstanceAreNeverTurnedIntoPointers) {
  KItem item;
  KString payload;
  {
    KDragHost other(1600000000);  // another run of the program
    payload = item.makeByAddressPayload("Group");
  }
  KDragHost host(1700000000);
  EXPECT_EQ(KDragAndDropSource::fromByAddressPayload(payload, "Group"), nullptr);
  // The same stamp, but an address no living object of ours dragged.
  KString stamp = KDragAndDropSource::payloadTimeStamp();
  KItem bystander;
  EXPECT_EQ(KDragAndDropSource::fromByAddressPayload(stamp + "'Group'" + addressText(&bystander), "Group"), nullptr);
  EXPECT_EQ(KDragAndDropSource::fromByAddressPayload(stamp + "'Group'12345678", "Group"), nullptr);
  // A living source, but named under a type it never dragged itself as.
  KItem dragged;
  dragged.makeByAddressPayload("Group");
  EXPECT_EQ(KDragAndDropSource::fromByAddressPayload(stamp + "'Loadcase'" + addressText(&dragged), "Loadcase"),
            nullptr);
}

TEST(KDragAndDropSourceTest, MalformedPayloadsAreRefused) {
  KDragHost host(1700000000);
  KItem item;
  KString good = item.makeByAddressPayload("Group");
  KString stamp = KDragAndDropSource::payloadTimeStamp();
  KString address = addressText(&item);
  for (const KString& bad : {KString(""), KString("no apostrophes"), stamp + "'Group", stamp + "'Group'",
                             stamp + "'Group'" + address + "x", stamp + "'Group' " + address,
                             stamp + "'Group'+" + address, stamp + "''" + address, "'Group'" + address}) {
    EXPECT_EQ(KDragAndDropSource::fromByAddressPayload(bad, "Group"), nullptr) << bad.GetString();
  }
  EXPECT_EQ(KDragAndDropSource::fromByAddressPayload(good, "Group"), &item);
  // A type name with apostrophes of its own still splits right.
  EXPECT_EQ(KDragAndDropSource::fromByAddressPayload(item.makeByAddressPayload("it's"), "it's"), &item);
}

TEST(KDragAndDropSourceTest, ADestroyedSourceIsNoLongerFound) {
  KDragHost host(1700000000);
  KString payload;
  {
    KItem item("gone");
    payload = item.makeByAddressPayload("Group");
    EXPECT_EQ(KDragAndDropSource::fromByAddressPayload(payload, "Group"), &item);
  }
  EXPECT_EQ(KDragAndDropSource::fromByAddressPayload(payload, "Group"), nullptr);
}

TEST(KDragAndDropSourceTest, TreeItemInstanceKeepsNameAndFlag) {
  KItem item("Loadcase 1");
  item.setDeleteOnLastScriptRelease(true);
  KItem copy(item);
  EXPECT_EQ(copy.getName(), "Loadcase 1");
  EXPECT_TRUE(copy.getDeleteOnLastScriptRelease());
  EXPECT_STREQ(KGenericTreeItem::dragTypeName(), "KGenericTreeItem");
}

namespace {
// Built before main, so before the drag registry.
KItem g_staticSource("static");
}  // namespace

// A source that is a static built before the first drag is destroyed at exit
// after everything built later; its destructor must still find the drag
// registry (the sanitize build reports a use after free otherwise).
TEST(KDragAndDropSourceTest, StaticSourcesOutliveNothingTheyNeed) {
  KDragHost host(1700000000);
  KString payload = g_staticSource.makeByAddressPayload("Static");
  EXPECT_EQ(KDragAndDropSource::fromByAddressPayload(payload, "Static"), &g_staticSource);
}
