// Transactions: what reaches the file and when, for transacted and direct roots and sub-storages,
// and the atomic commit, checked with writes that fail and with a process that dies mid-commit.
#include "CfbTestFiles.h"
#include "testsupport/Probe.h"

#include "FileIo.h"
#include "IoFaults.h"

#include "testsupport/TempFolder.h"
#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <unistd.h>
#endif

using namespace cfb;
using namespace cfbtest;

namespace {

// Whether a test may look at the file's bytes while a storage holds it share-exclusive: natively the
// lock is advisory and plain reads see the file; on Windows the share mode refuses them.
#ifdef _WIN32
constexpr bool kHeldFileReadable = false;
#else
constexpr bool kHeldFileReadable = true;
#endif

class TransactedTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = folder.File(L"user.dic");
        std::unique_ptr<Storage> root;
        ASSERT_EQ(CreateRootStorage(path, kWriteExclusive, &root), Status::Ok);
        ASSERT_EQ(WriteStream(*root, L"0", "header"), Status::Ok);
        ASSERT_EQ(WriteStream(*root, L"2", Pattern(9000, 2)), Status::Ok);
        root.reset();
        original = testsupport::ReadFileBytes(path);
    }
    void TearDown() override { detail::PlanWriteFault(-1, false); }

    std::size_t FilesInFolder() const {
        return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder.Path()), {}));
    }

    testsupport::TempFolder folder;
    std::wstring path;
    std::string original;
};

} // namespace

TEST_F(TransactedTest, NothingReachesTheFileBeforeCommit_AndReleaseDropsIt) {
    std::unique_ptr<Storage> root;
    ASSERT_EQ(OpenRootStorage(path, kTransacted, &root), Status::Ok);
    ASSERT_EQ(WriteStream(*root, L"0", "changed"), Status::Ok);
    ASSERT_EQ(root->DestroyElement(L"2"), Status::Ok);
    EXPECT_EQ(ReadStream(*root, L"0"), "changed"); // the storage sees its own changes
    if (kHeldFileReadable) {
        EXPECT_EQ(testsupport::ReadFileBytes(path), original);
    }
    root.reset();
    EXPECT_EQ(testsupport::ReadFileBytes(path), original);
}

TEST_F(TransactedTest, Commit_WritesTheFile_RevertGoesBackToTheLastCommit) {
    std::unique_ptr<Storage> root;
    ASSERT_EQ(OpenRootStorage(path, kTransacted, &root), Status::Ok);
    ASSERT_EQ(WriteStream(*root, L"0", "first"), Status::Ok);
    ASSERT_EQ(root->Commit(), Status::Ok);
    ASSERT_EQ(WriteStream(*root, L"0", "second"), Status::Ok);
    std::unique_ptr<Stream> open;
    ASSERT_EQ(root->OpenStream(L"2", kReadExclusive, &open), Status::Ok);
    std::unique_ptr<Storage> sub;
    ASSERT_EQ(root->CreateStorage(L"sub", kTransacted, &sub), Status::Ok);
    ASSERT_EQ(root->Revert(), Status::Ok);
    std::size_t got = 0;
    char byte;
    EXPECT_EQ(open->Read(&byte, 1, &got), Status::Reverted);
    std::vector<ElementInfo> elements;
    EXPECT_EQ(sub->EnumElements(&elements), Status::Reverted);
    EXPECT_EQ(sub->Commit(), Status::Reverted);
    EXPECT_EQ(root->OpenStorage(L"sub", kReadExclusive, &sub), Status::FileNotFound);
    EXPECT_EQ(ReadStream(*root, L"0"), "first");
    EXPECT_EQ(ReadStream(*root, L"2"), Pattern(9000, 2)); // read from the committed file
    root.reset();
    ASSERT_EQ(OpenRootStorage(path, kReadShared, &root), Status::Ok);
    EXPECT_EQ(ReadStream(*root, L"0"), "first");
    EXPECT_EQ(FilesInFolder(), 1u); // no file left over from the commit
}

TEST_F(TransactedTest, DirectRoot_WritesOnReleaseAndOnCommit) {
    std::unique_ptr<Storage> root;
    ASSERT_EQ(OpenRootStorage(path, kWriteExclusive, &root), Status::Ok);
    ASSERT_EQ(WriteStream(*root, L"0", "direct"), Status::Ok);
    ASSERT_EQ(root->Commit(), Status::Ok);
    EXPECT_NE(testsupport::ReadFileBytes(path), original);
    ASSERT_EQ(WriteStream(*root, L"1", "later"), Status::Ok);
    root.reset();
    ASSERT_EQ(OpenRootStorage(path, kReadShared, &root), Status::Ok);
    EXPECT_EQ(ReadStream(*root, L"0"), "direct");
    EXPECT_EQ(ReadStream(*root, L"1"), "later");
}

// The dynamic-information pattern: a transacted sub-storage inside a transacted root.
TEST_F(TransactedTest, TransactedSubStorage_CommitsIntoItsParent_AndReachesTheFileWithTheRoot) {
    std::unique_ptr<Storage> root, info;
    ASSERT_EQ(OpenRootStorage(path, kTransacted, &root), Status::Ok);
    ASSERT_EQ(root->CreateStorage(L"DD_INFO", kTransacted, &info), Status::Ok);
    ASSERT_EQ(WriteStream(*info, L"kept", "1"), Status::Ok);
    ASSERT_EQ(info->Commit(), Status::Ok);
    ASSERT_EQ(WriteStream(*info, L"dropped", "2"), Status::Ok);
    info.reset(); // released without commit: "dropped" is gone
    if (kHeldFileReadable) {
        EXPECT_EQ(testsupport::ReadFileBytes(path), original);
    }

    ASSERT_EQ(root->OpenStorage(L"dd_info", kTransacted, &info), Status::Ok);
    std::vector<ElementInfo> elements;
    ASSERT_EQ(info->EnumElements(&elements), Status::Ok);
    ASSERT_EQ(elements.size(), 1u);
    EXPECT_EQ(elements[0].name, L"kept");
    ASSERT_EQ(info->DestroyElement(L"kept"), Status::Ok);
    ASSERT_EQ(WriteStream(*info, L"value", "3"), Status::Ok);
    ASSERT_EQ(info->Revert(), Status::Ok);
    EXPECT_EQ(ReadStream(*info, L"kept"), "1");
    info.reset();
    ASSERT_EQ(root->Commit(), Status::Ok);
    root.reset();

    ASSERT_EQ(OpenRootStorage(path, kReadExclusive, &root), Status::Ok);
    ASSERT_EQ(root->OpenStorage(L"DD_INFO", kReadExclusive, &info), Status::Ok);
    EXPECT_EQ(ReadStream(*info, L"kept"), "1");
    EXPECT_EQ(info->OpenStorage(L"dropped", kReadExclusive, &root), Status::FileNotFound);
}

TEST_F(TransactedTest, TransactedSubStorageOfADirectRoot_ReachesTheFileOnCommit) {
    std::unique_ptr<Storage> root, info;
    ASSERT_EQ(OpenRootStorage(path, kWriteExclusive, &root), Status::Ok);
    ASSERT_EQ(root->CreateStorage(L"DD_INFO", kTransacted, &info), Status::Ok);
    ASSERT_EQ(WriteStream(*info, L"v", "value"), Status::Ok);
    const std::string beforeCommit = testsupport::ReadFileBytes(path);
    ASSERT_EQ(info->Commit(), Status::Ok);
    if (kHeldFileReadable) {
        EXPECT_NE(testsupport::ReadFileBytes(path), beforeCommit);
    }
    root.reset();
    ASSERT_EQ(OpenRootStorage(path, kReadShared, &root), Status::Ok);
    ASSERT_EQ(root->OpenStorage(L"DD_INFO", kReadExclusive, &info), Status::Ok);
    EXPECT_EQ(ReadStream(*info, L"v"), "value");
}

TEST_F(TransactedTest, FailedWriteDuringCommit_LeavesTheOldFileWhole) {
    for (std::int64_t bytes : {0, 1, 511, 4096, 30000}) {
        std::unique_ptr<Storage> root;
        ASSERT_EQ(OpenRootStorage(path, kTransacted, &root), Status::Ok);
        ASSERT_EQ(WriteStream(*root, L"0", Pattern(50000, 7)), Status::Ok);
        detail::PlanWriteFault(bytes, false);
        EXPECT_EQ(root->Commit(), Status::WriteFault) << bytes;
        EXPECT_EQ(ReadStream(*root, L"2"), Pattern(9000, 2)); // still readable from the old file
        root.reset();
        EXPECT_EQ(testsupport::ReadFileBytes(path), original) << bytes;
        EXPECT_EQ(FilesInFolder(), 1u) << "the half-written file is removed";
    }
    detail::PlanWriteFault(-1, false);
    std::unique_ptr<Storage> root;
    ASSERT_EQ(OpenRootStorage(path, kTransacted, &root), Status::Ok);
    ASSERT_EQ(WriteStream(*root, L"0", Pattern(50000, 7)), Status::Ok);
    ASSERT_EQ(root->Commit(), Status::Ok);
    root.reset();
    ASSERT_EQ(OpenRootStorage(path, kReadShared, &root), Status::Ok);
    EXPECT_EQ(ReadStream(*root, L"0"), Pattern(50000, 7));
}

TEST_F(TransactedTest, ProcessEndingInTheMiddleOfCommit_LeavesTheOldFileWhole) {
    for (long long bytes : {0LL, 700LL, 10000LL}) {
        EXPECT_EQ(RunProbe({L"crash-commit", path, std::to_wstring(bytes)}), 3) << bytes;
        EXPECT_EQ(testsupport::ReadFileBytes(path), original) << bytes;
        std::unique_ptr<Storage> root;
        ASSERT_EQ(OpenRootStorage(path, kReadShared, &root), Status::Ok);
        EXPECT_EQ(WalkEverything(*root), Status::Ok);
    }
    // After a complete commit by the same program the new file is there, whole.
    EXPECT_EQ(RunProbe({L"crash-commit", path, L"100000000"}), 4);
    std::unique_ptr<Storage> root;
    ASSERT_EQ(OpenRootStorage(path, kReadShared, &root), Status::Ok);
    EXPECT_EQ(ReadStream(*root, L"added"), std::string(20000, 'n'));
}

TEST_F(TransactedTest, TransactedCreateOverAFile_KeepsItWholeUntilTheFirstCommit) {
    const Mode kCreateTransacted = kTransacted | Mode::Create;
    {
        // Released without a commit: the old file stays as it was.
        std::unique_ptr<Storage> root;
        ASSERT_EQ(CreateRootStorage(path, kCreateTransacted, &root), Status::Ok);
        std::vector<ElementInfo> elements;
        ASSERT_EQ(root->EnumElements(&elements), Status::Ok);
        EXPECT_TRUE(elements.empty()) << "the new root starts empty";
        ASSERT_EQ(WriteStream(*root, L"0", Pattern(40000, 5)), Status::Ok);
        if (kHeldFileReadable)
            EXPECT_EQ(testsupport::ReadFileBytes(path), original);
        // Reverted before any commit it is empty again.
        ASSERT_EQ(root->Revert(), Status::Ok);
        ASSERT_EQ(root->EnumElements(&elements), Status::Ok);
        EXPECT_TRUE(elements.empty());
        ASSERT_EQ(WriteStream(*root, L"0", Pattern(40000, 5)), Status::Ok);
    }
    EXPECT_EQ(testsupport::ReadFileBytes(path), original);
    // A commit whose writing fails leaves the old file and nothing beside it.
    for (std::int64_t bytes : {0, 700, 20000}) {
        std::unique_ptr<Storage> root;
        ASSERT_EQ(CreateRootStorage(path, kCreateTransacted, &root), Status::Ok);
        ASSERT_EQ(WriteStream(*root, L"0", Pattern(40000, 5)), Status::Ok);
        detail::PlanWriteFault(bytes, false);
        EXPECT_EQ(root->Commit(), Status::WriteFault) << bytes;
        detail::PlanWriteFault(-1, false);
        root.reset();
        EXPECT_EQ(testsupport::ReadFileBytes(path), original) << bytes;
        EXPECT_EQ(FilesInFolder(), 1u) << bytes;
    }
    // Another open of the file still refuses the create, as before.
    {
        std::unique_ptr<Storage> reader, root;
        ASSERT_EQ(OpenRootStorage(path, kReadShared, &reader), Status::Ok);
        EXPECT_EQ(CreateRootStorage(path, kCreateTransacted, &root), Status::ShareViolation);
    }
    // The commit replaces the old file by the new one, whole.
    std::unique_ptr<Storage> root;
    ASSERT_EQ(CreateRootStorage(path, kCreateTransacted, &root), Status::Ok);
    ASSERT_EQ(WriteStream(*root, L"1", "new"), Status::Ok);
    ASSERT_EQ(root->Commit(), Status::Ok);
    root.reset();
    ASSERT_EQ(OpenRootStorage(path, kReadShared, &root), Status::Ok);
    EXPECT_EQ(ReadStream(*root, L"1"), "new");
    std::unique_ptr<Stream> gone;
    EXPECT_EQ(root->OpenStream(L"2", Mode::Read | Mode::ShareExclusive, &gone), Status::FileNotFound);
}

TEST_F(TransactedTest, ProcessEndingInTheMiddleOfTransactedCreate_LeavesTheOldFileWhole) {
    for (long long bytes : {0LL, 600LL, 6000LL}) {
        EXPECT_EQ(RunProbe({L"crash-create", path, std::to_wstring(bytes)}), 3) << bytes;
        EXPECT_EQ(testsupport::ReadFileBytes(path), original) << bytes;
    }
    EXPECT_EQ(RunProbe({L"crash-create", path, L"100000000"}), 4);
    std::unique_ptr<Storage> root;
    ASSERT_EQ(OpenRootStorage(path, kReadShared, &root), Status::Ok);
    EXPECT_EQ(ReadStream(*root, L"created"), std::string(20000, 'c'));
}

TEST_F(TransactedTest, StaleCommitFiles_AreRemovedByTheNextWriterButNeverLiveOnes) {
    // Processes that ended in the middle of their commits leave their new files beside the old one.
    // Each one's open removed what the one before had left; the last one's stays.
    for (long long bytes : {700LL, 10000LL, 3000LL})
        ASSERT_EQ(RunProbe({L"crash-commit", path, std::to_wstring(bytes)}), 3);
    ASSERT_EQ(FilesInFolder(), 2u);
    // Names that are not of the pattern, and a file of a process that cannot exist but is held open
    // here, as a writer would hold it.
    const std::wstring unrelated[] = {path + L".~abc-1.tmp", path + L".~12-3.tmp.bak",
                                      folder.File(L"other.dic.~99999999-0.tmp"), path + L"x.~99999999-0.tmp"};
    for (const std::wstring& name : unrelated)
        testsupport::WriteFileBytes(name, "keep");
    std::shared_ptr<detail::FileIo> held;
    ASSERT_EQ(detail::FileIo::Create(path + L".~99999998-0.tmp", false, &held), Status::Ok);
#ifndef _WIN32
    // A file of a live process (the parent of this one) that nobody holds open stays too.
    testsupport::WriteFileBytes(path + L".~" + std::to_wstring(::getppid()) + L"-0.tmp", "live");
    const std::size_t kept = 4 + 1 + 1 + 1;
#else
    const std::size_t kept = 4 + 1 + 1;
#endif
    // A read-only open removes nothing; a writer's open does.
    std::unique_ptr<Storage> root;
    ASSERT_EQ(OpenRootStorage(path, kReadShared, &root), Status::Ok);
    root.reset();
    EXPECT_EQ(FilesInFolder(), kept + 1);
    ASSERT_EQ(OpenRootStorage(path, kTransacted, &root), Status::Ok);
    EXPECT_EQ(FilesInFolder(), kept);
    for (const std::wstring& name : unrelated)
        EXPECT_EQ(testsupport::ReadFileBytes(name), "keep");
    // Once its writer lets go, the held one goes at the next commit.
    held->Close();
    held.reset();
    ASSERT_EQ(WriteStream(*root, L"3", "x"), Status::Ok);
    ASSERT_EQ(root->Commit(), Status::Ok);
    EXPECT_EQ(FilesInFolder(), kept - 1);
}
