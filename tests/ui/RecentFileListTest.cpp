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
    void theNewestComesFirstAndARepeatedFileMovesUp() {
        RecentFileList list(3);
        list.Add("/a.dev");
        list.Add("/b.dev");
        list.Add("/a.dev");
        QCOMPARE(list.Paths(), (Paths{"/a.dev", "/b.dev"}));
    }

    void theOldestGoesWhenTheListIsFull() {
        RecentFileList list(2);
        for (const char* path : {"/a.dev", "/b.dev", "/c.dev"}) {
            list.Add(path);
        }
        QCOMPARE(list.Paths(), (Paths{"/c.dev", "/b.dev"}));
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

    void theListIsWrittenAsFileOneToNAndReadBackUpToItsSize() {
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
    }

    void emptyValuesAreSkippedWhenReading() {
        test::MemoryProfileStore store;
        store.WriteText(RecentFileList::kSection, "File1", "");
        store.WriteText(RecentFileList::kSection, "File2", "/b.dev");
        RecentFileList list(4);
        list.Read(store);
        QCOMPARE(list.Paths(), Paths{"/b.dev"});
    }
};

}  // namespace
}  // namespace tessaly

QTEST_APPLESS_MAIN(tessaly::RecentFileListTest)
#include "RecentFileListTest.moc"
