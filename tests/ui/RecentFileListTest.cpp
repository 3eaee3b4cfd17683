// The recent files over a profile store in memory.

#include <QTest>

#include "MemoryProfileStore.h"
#include "ui/RecentFileList.h"

namespace tessaly {
namespace {

using Paths = std::vector<std::string>;

class RecentFileListTest : public QObject {
    Q_OBJECT

  private slots:
    void theNewestComesFirstARepeatedFileMovesUpAndTheOldestGoesWhenFull() {
        RecentFileList list(3);
        for (const char* path : {"/a.dev", "/b.dev", "/a.dev"}) {
            list.Add(path);
        }
        QCOMPARE(list.Paths(), (Paths{"/a.dev", "/b.dev"}));
        list.Add("/c.dev");
        list.Add("/d.dev");
        QCOMPARE(list.Paths(), (Paths{"/d.dev", "/c.dev", "/a.dev"}));
    }

    void aListOfSizeZeroKeepsNothing() {
        RecentFileList list(0);
        list.Add("/a.dev");
        QVERIFY(list.Paths().empty());
        QCOMPARE(RecentFileList(-4).Size(), 0u);
    }

    void entriesAreRemovedByPosition() {
        RecentFileList list(4);
        list.Add("/a.dev");
        list.Add("/b.dev");
        list.Remove(0);
        list.Remove(7);
        QCOMPARE(list.Paths(), Paths{"/a.dev"});
    }

    void theListIsWrittenAsFileOneToNAndReadBackUpToItsSizeSkippingEmptyValues() {
        test::MemoryProfileStore store;
        store.WriteText(RecentFileList::kSection, "File9", "/stale.dev");
        RecentFileList written(4);
        for (const char* path : {"/a.dev", "/b.dev", "/c.dev"}) {
            written.Add(path);
        }
        written.Write(store);
        QCOMPARE(store.GetText(RecentFileList::kSection, "File1", ""), std::string("/c.dev"));
        QCOMPARE(store.GetText(RecentFileList::kSection, "File3", ""), std::string("/a.dev"));
        QCOMPARE(store.GetText(RecentFileList::kSection, "File9", ""), std::string());

        RecentFileList smaller(2);
        smaller.Read(store);
        QCOMPARE(smaller.Paths(), (Paths{"/c.dev", "/b.dev"}));

        store.WriteText(RecentFileList::kSection, "File1", "");
        RecentFileList skipping(4);
        skipping.Read(store);
        QCOMPARE(skipping.Paths(), (Paths{"/b.dev", "/a.dev"}));
    }
};

}  // namespace
}  // namespace tessaly

QTEST_APPLESS_MAIN(tessaly::RecentFileListTest)
#include "RecentFileListTest.moc"
