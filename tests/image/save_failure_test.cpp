// save_failure_test.cpp: what the TGA and BMP writers do when a save cannot
// be made: the code they return, the existing file they must not damage and
// the temporary file they must not leave behind.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "image/image.h"
#include "image_test_util.h"

using testutil::Bytes;
using testutil::TempDir;

namespace {

using Saver = int (*)(CImage *, const char *);

struct Writer {
    const char *name;
    Saver save;
};

const Writer kWriters[] = {{"SaveTGA", CImage::SaveTGA}, {"SaveBMP", CImage::SaveBMP}};

// Runs save(img, path) in a child process whose files may not grow beyond
// limit bytes (writes past it fail, SIGXFSZ ignored); the child's result.
int SaveWithFileSizeLimit(Saver save, CImage *img, const std::string &path, rlim_t limit)
{
    pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit rl = {limit, limit};
        if (setrlimit(RLIMIT_FSIZE, &rl) != 0)
            _exit(100);
        _exit(save(img, path.c_str()));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

size_t SizeOfSave(Saver save, CImage *img, const TempDir &dir)
{
    std::string path = dir.File("probe");
    EXPECT_EQ(save(img, path.c_str()), CImage::kOk);
    size_t n = testutil::ReadFile(path).size();
    unlink(path.c_str());
    return n;
}

}  // namespace

TEST(SaveFailure, MissingDirectoryGivesFour)
{
    TempDir dir;
    auto img = testutil::MakeImage(4, 4, 24);
    for (const Writer &w : kWriters)
        EXPECT_EQ(w.save(img.get(), dir.File("no/such/dir/x.img").c_str()), CImage::kWriteFailed) << w.name;
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(SaveFailure, DirectoryAsTargetGivesFourAndStaysADirectory)
{
    TempDir dir;
    auto img = testutil::MakeImage(4, 4, 24);
    std::string target = dir.File("sub");
    ASSERT_EQ(mkdir(target.c_str(), 0700), 0);
    for (const Writer &w : kWriters) {
        EXPECT_EQ(w.save(img.get(), target.c_str()), CImage::kWriteFailed) << w.name;
        struct stat st;
        ASSERT_EQ(stat(target.c_str(), &st), 0);
        EXPECT_TRUE(S_ISDIR(st.st_mode));
    }
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"sub"});
}

TEST(SaveFailure, FullDiskGivesFourAndKeepsTheOldFile)
{
    TempDir dir;
    auto img = testutil::MakeImage(120, 80, 24);
    const Bytes old = {'o', 'l', 'd', ' ', 'f', 'i', 'l', 'e'};
    for (const Writer &w : kWriters) {
        const size_t full = SizeOfSave(w.save, img.get(), dir);
        std::string target = dir.File("keep.img");
        // Fails at the header, in the pixels, and on the very last byte.
        for (rlim_t limit : {rlim_t(10), rlim_t(full / 2), rlim_t(full - 1)}) {
            testutil::WriteFile(target, old);
            EXPECT_EQ(SaveWithFileSizeLimit(w.save, img.get(), target, limit), CImage::kWriteFailed)
                << w.name << " limit " << limit;
            EXPECT_EQ(testutil::ReadFile(target), old) << w.name;
            EXPECT_EQ(dir.Entries(), std::vector<std::string>{"keep.img"}) << w.name;
        }
        // Exactly enough room: the save succeeds and replaces the file.
        EXPECT_EQ(SaveWithFileSizeLimit(w.save, img.get(), target, full), CImage::kOk) << w.name;
        EXPECT_EQ(testutil::ReadFile(target).size(), full);
        unlink(target.c_str());
    }
}

TEST(SaveFailure, NewFileWhenNoneExistedIsNotLeftBehindOnFailure)
{
    TempDir dir;
    auto img = testutil::MakeImage(50, 50, 8);
    for (const Writer &w : kWriters) {
        EXPECT_EQ(SaveWithFileSizeLimit(w.save, img.get(), dir.File("new.img"), 100), CImage::kWriteFailed);
        EXPECT_TRUE(dir.Entries().empty()) << w.name;
    }
}

TEST(SaveFailure, SuccessfulSaveReplacesOldFileAndKeepsItsPermissions)
{
    TempDir dir;
    auto img = testutil::MakeImage(9, 7, 24);
    std::string target = dir.File("photo");
    for (const Writer &w : kWriters) {
        testutil::WriteFile(target, Bytes(100000, 7));
        ASSERT_EQ(chmod(target.c_str(), 0640), 0);
        ASSERT_EQ(w.save(img.get(), target.c_str()), CImage::kOk);
        EXPECT_LT(testutil::ReadFile(target).size(), 100000u) << w.name;
        struct stat st;
        ASSERT_EQ(stat(target.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u) << w.name;
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"photo"});
    }
}

TEST(SaveFailure, NewFileFollowsTheUmask)
{
    TempDir dir;
    auto img = testutil::MakeImage(3, 3, 8);
    mode_t old = umask(027);
    int status = CImage::SaveTGA(img.get(), dir.File("n.tga").c_str());
    umask(old);
    ASSERT_EQ(status, CImage::kOk);
    struct stat st;
    ASSERT_EQ(stat(dir.File("n.tga").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(SaveFailure, ReadOnlyExistingFileIsNotReplaced)
{
    TempDir dir;
    auto img = testutil::MakeImage(3, 3, 24);
    std::string target = dir.File("ro");
    const Bytes old = {1, 2, 3};
    testutil::WriteFile(target, old);
    ASSERT_EQ(chmod(target.c_str(), 0444), 0);
    ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
    for (const Writer &w : kWriters) {
        // Root may write any file: the save runs as an ordinary user then.
        pid_t pid = fork();
        if (pid == 0) {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                _exit(100);
            if (w.save(img.get(), dir.File("probe").c_str()) != CImage::kOk)
                _exit(101);  // the directory itself is out of reach
            _exit(w.save(img.get(), target.c_str()));
        }
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFEXITED(status));
        if (WEXITSTATUS(status) >= 100)
            GTEST_SKIP() << "cannot save as an ordinary user here";
        EXPECT_EQ(WEXITSTATUS(status), CImage::kWriteFailed) << w.name;
        EXPECT_EQ(testutil::ReadFile(target), old);
    }
}
