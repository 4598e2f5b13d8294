// Share modes: a file open share-exclusive cannot be opened again, by this process or another, and
// keeps that protection across commits that replace the file.
#include "CfbTestFiles.h"
#include "testsupport/Probe.h"

#include "testsupport/TempFolder.h"
#include <gtest/gtest.h>

using namespace cfb;
using namespace cfbtest;

namespace {

class ShareTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = folder.File(L"shared.dic");
        std::unique_ptr<Storage> root;
        ASSERT_EQ(CreateRootStorage(path, kWriteExclusive, &root), Status::Ok);
        ASSERT_EQ(WriteStream(*root, L"0", "info"), Status::Ok);
    }
    testsupport::TempFolder folder;
    std::wstring path;
};

} // namespace

TEST_F(ShareTest, ExclusiveOpen_RefusesEveryOtherOpenInThisProcess) {
    std::unique_ptr<Storage> first, second;
    ASSERT_EQ(OpenRootStorage(path, kReadExclusive, &first), Status::Ok);
    EXPECT_EQ(OpenRootStorage(path, kReadExclusive, &second), Status::ShareViolation);
    EXPECT_EQ(OpenRootStorage(path, kReadShared, &second), Status::ShareViolation);
    EXPECT_EQ(OpenRootStorage(path, kTransacted, &second), Status::ShareViolation);
    EXPECT_EQ(CreateRootStorage(path, kWriteExclusive | Mode::Create, &second), Status::ShareViolation);
    first.reset();
    EXPECT_EQ(OpenRootStorage(path, kTransacted, &second), Status::Ok);
}

TEST_F(ShareTest, SharedReaders_OpenTogether_ButKeepOutAnExclusiveOpen) {
    std::unique_ptr<Storage> first, second, third;
    ASSERT_EQ(OpenRootStorage(path, kReadShared, &first), Status::Ok);
    ASSERT_EQ(OpenRootStorage(path, Mode::Read | Mode::ShareDenyNone, &second), Status::Ok);
    EXPECT_EQ(ReadStream(*second, L"0"), "info");
    EXPECT_EQ(OpenRootStorage(path, kReadExclusive, &third), Status::ShareViolation);
    EXPECT_EQ(OpenRootStorage(path, kWriteExclusive, &third), Status::ShareViolation);
}

TEST_F(ShareTest, ExclusiveOpen_RefusesAnotherProcess_UntilReleased) {
    std::unique_ptr<Storage> root;
    ASSERT_EQ(OpenRootStorage(path, kTransacted, &root), Status::Ok);
    EXPECT_EQ(RunProbe({L"open", path}), 1);
    // The commit puts a new file in place; it is as closed to others as the old one was.
    ASSERT_EQ(WriteStream(*root, L"1", "more"), Status::Ok);
    ASSERT_EQ(root->Commit(), Status::Ok);
    EXPECT_EQ(RunProbe({L"open", path}), 1);
    std::unique_ptr<Storage> again;
    EXPECT_EQ(OpenRootStorage(path, kReadShared, &again), Status::ShareViolation);
    root.reset();
    EXPECT_EQ(RunProbe({L"open", path}), 0);
}
