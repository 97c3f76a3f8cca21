// The fault points of the file calls, and the file helpers that rely on them: a failure or a
// crash at any call leaves a replaced file whole, old or new.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <fstream>

#include "TemporaryHome.h"
#include "platform/FileOps.h"
#include "platform/FileUtil.h"

namespace fs = std::filesystem;
using namespace qingheng;
using fileops::Fault;

namespace {

std::string bytesOf(const fs::path& p) { return readFileBytes(p).value_or("<missing>"); }

// Gives the fault to the call'th call (1-based) and lets every other one through.
struct ScopedFault {
    ScopedFault(int call, Fault fault) {
        fileops::setFaultHook([this, call, fault](fileops::Op op, std::string_view) {
            ops.push_back(op);
            return static_cast<int>(ops.size()) == call ? fault : Fault::None;
        });
    }
    ~ScopedFault() { fileops::setFaultHook({}); }
    std::vector<fileops::Op> ops;
};

}  // namespace

TEST(FileOps, AFailingWriteStoresHalfItsBytesAndSaysTheDiskIsFull) {
    const qingheng::testing::TemporaryHome home("fileops");
    const fs::path file = home / "f";
    std::ofstream(file) << "0123456789";
    const int fd = ::open(file.c_str(), O_WRONLY);
    {
        const ScopedFault fault(1, Fault::Fail);
        EXPECT_FALSE(fileops::writeAt(fd, "abcdefgh", 8, 0));
        EXPECT_EQ(errno, ENOSPC);
    }
    ::close(fd);
    EXPECT_EQ(bytesOf(file), "abcd456789");
}

TEST(FileOps, AfterACrashEveryCallFailsUntilTheHookIsSetAgain) {
    const qingheng::testing::TemporaryHome home("fileops");
    {
        const ScopedFault fault(2, Fault::Crash);
        EXPECT_TRUE(fileops::makeFolder(home / "a"));
        EXPECT_THROW(fileops::makeFolder(home / "b"), fileops::SimulatedCrash);
        EXPECT_FALSE(fileops::makeFolder(home / "c"));
        EXPECT_EQ(fault.ops.size(), 2u);  // the dead program asks nobody
    }
    EXPECT_TRUE(fs::is_directory(home / "a"));
    EXPECT_FALSE(fs::exists(home / "b"));
    EXPECT_FALSE(fs::exists(home / "c"));
    EXPECT_TRUE(fileops::makeFolder(home / "c"));
}

TEST(FileOps, AReplacedFileIsOldOrNewAfterAFaultAtAnyCall) {
    const qingheng::testing::TemporaryHome home("fileops");
    const fs::path source = home / "source", target = home / "target";
    std::ofstream(source) << "new contents";
    struct Helper {
        const char* name;
        std::function<Status()> run;
    };
    const Helper helpers[] = {
        {"writeFileAtomically", [&] { return writeFileAtomically(target, "new contents"); }},
        {"copyFile", [&] { return copyFile(source, target); }},
    };
    for (const Helper& h : helpers) {
        int calls = 0;
        {
            const ScopedFault counting(0, Fault::None);
            ASSERT_TRUE(h.run().ok);
            calls = static_cast<int>(counting.ops.size());
        }
        for (const Fault fault : {Fault::Fail, Fault::Crash}) {
            for (int call = 1; call <= calls; ++call) {
                std::ofstream(target, std::ios::trunc) << "old contents";
                bool crashed = false;
                Status s;
                {
                    const ScopedFault scoped(call, fault);
                    try {
                        s = h.run();
                    } catch (const fileops::SimulatedCrash&) {
                        crashed = true;
                    }
                }
                const std::string now = bytesOf(target);
                if (crashed) EXPECT_TRUE(now == "old contents" || now == "new contents") << h.name << call;
                else EXPECT_EQ(now, s.ok ? "new contents" : "old contents") << h.name << call;
                EXPECT_TRUE(crashed || s.ok || !fs::exists(temporaryNameOf(target))) << h.name << call;
            }
        }
    }
}

TEST(FileUtil, RemovingATreeRemovesLinksNotWhatTheyPointAt) {
    const qingheng::testing::TemporaryHome home("fileops");
    std::ofstream(home / "kept") << "x";
    fs::create_directories(home / "tree" / "sub");
    std::ofstream(home / "tree" / "sub" / "f") << "y";
    fs::create_symlink(home / "kept", home / "tree" / "link");
    ASSERT_TRUE(removeTree(home / "tree").ok);
    EXPECT_FALSE(fs::exists(home / "tree"));
    EXPECT_EQ(bytesOf(home / "kept"), "x");
    EXPECT_TRUE(removeTree(home / "tree").ok);  // nothing there is no failure
}
