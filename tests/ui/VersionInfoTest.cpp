#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <fstream>
#include <string>

#include "ui/VersionInfo.h"

using tessaly::kOwnExecutable;
using tessaly::kVersionBlockMarker;
using tessaly::VersionInfo;

namespace {

// A block as an executable holds it. Built at run time, so that this test's own file holds no block but
// the one CMake embedded.
std::string Block(const std::string& lines) {
    return std::string(kVersionBlockMarker) + '\n' + lines + '\0';
}

// Bytes around the block as a linker leaves them, including the marker text without its line feed.
std::string Executable(const std::string& block) {
    std::string bytes(
        "\x7F"
        "ELF\x02\x01\x01",
        7);
    bytes += std::string(300, '\0');
    bytes += std::string(kVersionBlockMarker) + '\0';
    bytes += "other text";
    bytes += std::string(20, '\x90');
    bytes += block;
    bytes += std::string(50, '\0');
    return bytes;
}

using Buffer = std::array<char, 64>;

std::string Text(const Buffer& buffer) {
    return buffer.data();
}

bool AllZero(const Buffer& buffer) {
    return std::all_of(buffer.begin(), buffer.end(), [](char c) { return c == '\0'; });
}

}  // namespace

class VersionInfoTest : public QObject {
    Q_OBJECT

  private slots:
    void theBuiltExecutableCarriesItsVersionBlock() {
        VersionInfo info;
        QVERIFY(info.Attach(kOwnExecutable));
        Buffer buffer{};
        QVERIFY(info.GetString("ProductVersion", buffer));
        QCOMPARE(Text(buffer), std::string(TESSALY_EXPECTED_PRODUCT_VERSION));
        QVERIFY(info.GetString("SpecialBuild", buffer));
        QCOMPARE(Text(buffer), std::string(TESSALY_EXPECTED_BUILD));
        QVERIFY(info.GetStringByIndex(tessaly::kCompanyName, buffer));
        QCOMPARE(Text(buffer), std::string("Halvorn"));
        QVERIFY(info.GetStringByIndex(tessaly::kLegalCopyRight, buffer));
        QVERIFY(Text(buffer).starts_with("Copyright"));
        QVERIFY(info.GetString("OriginalFileName", buffer));
        QCOMPARE(Text(buffer), std::string("version_info_test"));
        QVERIFY(!info.GetString("LegalTrademarks", buffer));
    }

    void theMarkerWithoutItsLineFeedIsPassedOverAndValuesAreFoundByNameOrIndex() {
        const std::string path =
            Write("a.out", Executable(Block("CompanyName=Halvorn\nProductVersion=2.05\nSpecialBuild=77\n")));
        VersionInfo info;
        QVERIFY(info.Attach(path));
        Buffer buffer{};
        QVERIFY(info.GetString("ProductVersion", buffer));
        QCOMPARE(Text(buffer), std::string("2.05"));
        QVERIFY(info.GetString("SpecialBuild", buffer));
        QCOMPARE(Text(buffer), std::string("77"));
        // By index, zero to nine.
        QVERIFY(info.GetStringByIndex(0, buffer));
        QCOMPARE(Text(buffer), std::string("Halvorn"));
        QVERIFY(info.GetStringByIndex(9, buffer));
        QCOMPARE(Text(buffer), std::string("2.05"));
        QVERIFY(!info.GetStringByIndex(10, buffer));
    }

    void aFileWithoutABlockLoadsNothing() {
        const std::string path = Write("plain", Executable(""));
        VersionInfo info;
        QVERIFY(!info.Attach(path));
        QVERIFY(!info.IsLoaded());
        Buffer buffer;
        buffer.fill('x');
        QVERIFY(!info.GetString("ProductVersion", buffer));
        QCOMPARE(buffer[0], 'x');
        QVERIFY(!info.Attach(dir_.filePath(QStringLiteral("missing")).toStdString()));
    }

    void aBlockWithoutItsZeroByteOrWithANamelessLineIsNoBlock() {
        std::string atTheEnd = Block("ProductVersion=1.0\n");
        atTheEnd.pop_back();
        QVERIFY(!VersionInfo().Attach(Write("cut", atTheEnd)));
        QVERIFY(!VersionInfo().Attach(Write("endless", Executable(Block(std::string(5000, 'a'))))));
        QVERIFY(!VersionInfo().Attach(Write("nameless", Executable(Block("=1.0\n")))));
        QVERIFY(!VersionInfo().Attach(Write("noequals", Executable(Block("ProductVersion\n")))));
        QVERIFY(VersionInfo().Attach(Write("empty", Executable(Block("")))));
    }

    void aValueTooLongOrMissingLeavesAZeroFilledBuffer() {
        const std::string fits(62, 'c');
        const std::string tooLong(63, 'c');
        const std::string path =
            Write("long", Executable(Block("CompanyName=" + fits + "\nLegalCopyRight=" + tooLong + "\n")));
        VersionInfo info;
        QVERIFY(info.Attach(path));
        Buffer buffer;
        buffer.fill('x');
        QVERIFY(info.GetString("CompanyName", buffer));
        QCOMPARE(Text(buffer), fits);
        buffer.fill('x');
        QVERIFY(!info.GetString("LegalCopyRight", buffer));
        QVERIFY(AllZero(buffer));
        buffer.fill('x');
        QVERIFY(!info.GetString("SpecialBuild", buffer));
        QVERIFY(AllZero(buffer));
        std::array<char, 8> small;
        small.fill('x');
        QVERIFY(!info.GetString("CompanyName", std::span<char>(small.data(), 0)));
        QCOMPARE(small[0], 'x');
    }

    void attachingTheSameFileAgainKeepsWhatWasReadUntilReset() {
        const std::string first = Write("first", Executable(Block("SpecialBuild=1\n")));
        const std::string second = Write("second", Executable(Block("SpecialBuild=2\n")));
        VersionInfo info;
        QVERIFY(info.Attach(first));
        QVERIFY(QFile::remove(QString::fromStdString(first)));
        QVERIFY(info.Attach(first));

        QVERIFY(info.Attach(second));
        Buffer buffer{};
        QVERIFY(info.GetString("SpecialBuild", buffer));
        QCOMPARE(Text(buffer), std::string("2"));

        QVERIFY(!info.Attach(first));
        QVERIFY(!info.GetString("SpecialBuild", buffer));

        QVERIFY(info.Attach(second));
        info.Reset();
        QVERIFY(!info.IsLoaded());
        QVERIFY(!info.GetString("SpecialBuild", buffer));
    }

  private:
    std::string Write(const QString& name, const std::string& bytes) {
        const std::string path = dir_.filePath(name).toStdString();
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    QTemporaryDir dir_;
};

QTEST_MAIN(VersionInfoTest)
#include "VersionInfoTest.moc"
