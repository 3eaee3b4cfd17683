#include "text/WriteFileAtomically.h"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "TestFiles.h"

namespace tessaly {
namespace {

using Names = std::vector<std::string>;

// The file is replaced as a whole and keeps its permissions. A write that runs into a full disk (here a
// file size limit), a missing or unusable folder, a directory in the file's place or a path without a
// file name fails: the original stays and no temporary file remains.
TEST(WriteFileAtomically, ReplacesTheWholeFileOrLeavesItAsItWas) {
    test::TempDirectory directory;
    const auto path = directory.Write("data", "old contents that are longer");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(WriteFileAtomically(path, "before"));
    struct stat status {};
    ASSERT_EQ(::stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    {
        test::FileSizeLimit limit(16);
        EXPECT_FALSE(WriteFileAtomically(path, std::string(64, 'x')));
    }
    const auto blocker = directory.Write("blocker", "not a directory");
    const auto inner = directory.Path() / "inner";
    std::filesystem::create_directory(inner);
    for (const auto& target :
         {directory.Path() / "missing" / "data", blocker / "data", inner, directory.Path() / ""}) {
        EXPECT_FALSE(WriteFileAtomically(target, "x")) << target;
    }
    EXPECT_EQ(test::ReadBytes(path), "before");
    EXPECT_EQ(test::ReadBytes(blocker), "not a directory");
    EXPECT_TRUE(std::filesystem::is_directory(inner));
    EXPECT_EQ(test::FileNamesIn(directory.Path()), (Names{"blocker", "data", "inner"}));
}

// A writer killed while it writes leaves the old contents or the new ones, whole. Each kill comes as soon
// as the writer's temporary file (".data.tmp.<process id>.<count>") shows that a write is under way.
TEST(WriteFileAtomically, KilledWriterLeavesAWholeFile) {
    test::TempDirectory directory;
    const auto path = directory.Path() / "data";
    const std::string first(2 << 20, 'a');
    const std::string second(2 << 20, 'b');
    ASSERT_TRUE(WriteFileAtomically(path, first));
    for (int round = 0; round < 5; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            while (WriteFileAtomically(path, second) && WriteFileAtomically(path, first)) {
            }
            ::_exit(1);
        }
        const std::string temporary = ".data.tmp." + std::to_string(child) + ".";
        const auto underWay = [&] {
            const Names names = test::FileNamesIn(directory.Path());
            return std::any_of(names.begin(), names.end(),
                               [&](const std::string& n) { return n.starts_with(temporary); });
        };
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (!underWay() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::yield();
        }
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status)) << "the writer failed in round " << round;
        const std::string left = test::ReadBytes(path);
        ASSERT_TRUE(left == first || left == second) << "round " << round << ": " << left.size() << " bytes";
    }
    // The temporary files of the killed writers do not stand in the way of the next write.
    EXPECT_TRUE(WriteFileAtomically(path, "done"));
    EXPECT_EQ(test::ReadBytes(path), "done");
}

}  // namespace
}  // namespace tessaly
