// save_failure_test.cpp: what saving over a path keeps and what it refuses:
// symbolic and hard links, permissions, owner and group, a folder where no
// new file can be made, and the saves that must fail without damaging the
// file that was there or leaving a temporary file behind.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>

#include "image/image.h"
#include "image/safe_file.h"
#include "image_test_util.h"

using testutil::Bytes;
using testutil::TempDir;

namespace {

const Bytes kOld(300, 'o');
const uid_t kNobody = 65534;

// Another user's file for root to save over; the user's own otherwise.
uid_t Owner() { return geteuid() == 0 ? kNobody : geteuid(); }
gid_t Group() { return geteuid() == 0 ? kNobody : getegid(); }

struct stat StatOf(const std::string &path)
{
    struct stat st = {};
    lstat(path.c_str(), &st);
    return st;
}

// Runs save in a child, as the ordinary user nobody when asked (root may
// write anything), with writes past limit bytes failing (0: no limit).
// Returns its status, or -1 when the child could not become nobody.
int SaveInChild(const std::function<int()> &save, bool asNobody, rlim_t limit)
{
    const pid_t pid = fork();
    if (pid == 0) {
        if (asNobody && geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0))
            _exit(100);
        if (limit) {
            signal(SIGXFSZ, SIG_IGN);  // as the programs do
            const struct rlimit rl = {limit, limit};
            setrlimit(RLIMIT_FSIZE, &rl);
        }
        _exit(save());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) != 100 ? WEXITSTATUS(status) : -1;
}

std::vector<std::string> SortedEntries(const TempDir &d)
{
    std::vector<std::string> names = d.Entries();
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(SaveRules, WhatASaveKeepsAndWhatItRefuses)
{
    auto img = testutil::MakeImage(40, 30, 24);
    TempDir expected;
    ASSERT_EQ(CImage::SaveTGA(img.get(), expected.File("x.tga").c_str()), CImage::kOk);
    const Bytes picture = testutil::ReadFile(expected.File("x.tga"));

    struct Row {
        const char *what;
        // Prepares dir and returns the path to save to.
        std::function<std::string(const TempDir &)> setUp;
        bool asNobody;
        rlim_t limit;
        int status;
        // Checks dir after the save.
        std::function<void(const TempDir &)> check;
    };
    auto content = [](const TempDir &d, const char *name) { return testutil::ReadFile(d.File(name)); };
    const Row rows[] = {
        {"a symbolic link stays, its target receives the picture",
         [](const TempDir &d) {
             mkdir(d.File("real").c_str(), 0755);
             testutil::WriteFile(d.File("real/t.tga"), kOld);
             symlink("real/t.tga", d.File("link.tga").c_str());
             return d.File("link.tga");
         },
         false, 0, CImage::kOk,
         [&](const TempDir &d) {
             EXPECT_TRUE(S_ISLNK(StatOf(d.File("link.tga")).st_mode));
             EXPECT_EQ(content(d, "real/t.tga"), picture);
             EXPECT_EQ(SortedEntries(d), (std::vector<std::string>{"link.tga", "real"}));
         }},
        {"permission bits, owner and group are kept",
         [](const TempDir &d) {
             testutil::WriteFile(d.File("f.tga"), kOld);
             chmod(d.File("f.tga").c_str(), 0604);
             if (chown(d.File("f.tga").c_str(), Owner(), Group()) != 0)
                 ADD_FAILURE() << "chown";
             return d.File("f.tga");
         },
         false, 0, CImage::kOk,
         [&](const TempDir &d) {
             const struct stat st = StatOf(d.File("f.tga"));
             EXPECT_EQ(st.st_mode & 07777, 0604u);
             EXPECT_EQ(st.st_uid, Owner());
             EXPECT_EQ(st.st_gid, Group());
             EXPECT_EQ(content(d, "f.tga"), picture);
         }},
        {"a hard link stays shared",
         [](const TempDir &d) {
             testutil::WriteFile(d.File("a.tga"), kOld);
             link(d.File("a.tga").c_str(), d.File("b.tga").c_str());
             return d.File("a.tga");
         },
         false, 0, CImage::kOk,
         [&](const TempDir &d) {
             EXPECT_EQ(content(d, "b.tga"), picture);
             EXPECT_EQ(StatOf(d.File("a.tga")).st_ino, StatOf(d.File("b.tga")).st_ino);
             EXPECT_EQ(SortedEntries(d), (std::vector<std::string>{"a.tga", "b.tga"}));
         }},
        {"a writable file in a folder closed to new files is written in place",
         [](const TempDir &d) {
             mkdir(d.File("ro").c_str(), 0755);
             testutil::WriteFile(d.File("ro/f.tga"), Bytes(100000, 'o'));
             chmod(d.File("ro/f.tga").c_str(), 0666);
             chmod(d.File("ro").c_str(), 0555);
             return d.File("ro/f.tga");
         },
         true, 0, CImage::kOk,
         [&](const TempDir &d) { EXPECT_EQ(content(d, "ro/f.tga"), picture); }},
        {"a full disk while writing in place is reported",
         [](const TempDir &d) {
             testutil::WriteFile(d.File("a.tga"), kOld);
             link(d.File("a.tga").c_str(), d.File("b.tga").c_str());
             return d.File("a.tga");
         },
         false, 1000, CImage::kWriteFailed,
         [](const TempDir &d) { EXPECT_EQ(SortedEntries(d), (std::vector<std::string>{"a.tga", "b.tga"})); }},
        {"a full disk keeps the old file and leaves no temporary file",
         [](const TempDir &d) {
             testutil::WriteFile(d.File("f.tga"), kOld);
             return d.File("f.tga");
         },
         false, 18 + 40 * 30 * 3 - 1, CImage::kWriteFailed,
         [&](const TempDir &d) {
             EXPECT_EQ(content(d, "f.tga"), kOld);
             EXPECT_EQ(d.Entries(), std::vector<std::string>{"f.tga"});
         }},
        {"a read-only file is not replaced",
         [](const TempDir &d) {
             testutil::WriteFile(d.File("f.tga"), kOld);
             chmod(d.File("f.tga").c_str(), 0444);
             return d.File("f.tga");
         },
         true, 0, CImage::kWriteFailed, [&](const TempDir &d) { EXPECT_EQ(content(d, "f.tga"), kOld); }},
        {"a folder in the file's place stays a folder",
         [](const TempDir &d) {
             mkdir(d.File("sub").c_str(), 0700);
             return d.File("sub");
         },
         false, 0, CImage::kWriteFailed,
         [](const TempDir &d) { EXPECT_TRUE(S_ISDIR(StatOf(d.File("sub")).st_mode)); }},
        {"a missing folder creates nothing", [](const TempDir &d) { return d.File("no/such/x.tga"); }, false,
         0, CImage::kWriteFailed, [](const TempDir &d) { EXPECT_TRUE(d.Entries().empty()); }},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.what);
        TempDir dir;
        chmod(dir.path().c_str(), 0777);
        const std::string target = row.setUp(dir);
        const int status = SaveInChild([&] { return CImage::SaveTGA(img.get(), target.c_str()); },
                                       row.asNobody, row.limit);
        if (status < 0) {
            ADD_FAILURE() << "the save could not run as an ordinary user";
            continue;
        }
        EXPECT_EQ(status, row.status);
        row.check(dir);
    }
}

// An in-place save keeps every byte in memory until Commit: abandoned before
// then (the encoding failed), it has not touched the file.
TEST(SaveRules, InPlaceSaveTouchesNothingBeforeCommit)
{
    TempDir dir;
    testutil::WriteFile(dir.File("a"), kOld);
    ASSERT_EQ(link(dir.File("a").c_str(), dir.File("b").c_str()), 0);
    {
        mirlan::SafeFileWriter out(dir.File("a").c_str());
        ASSERT_TRUE(out.InPlace());
        ASSERT_TRUE(out.Write("new", 3));
        EXPECT_EQ(testutil::ReadFile(dir.File("b")), kOld);
    }
    EXPECT_EQ(testutil::ReadFile(dir.File("b")), kOld);
}

TEST(SaveRules, NewFileFollowsTheUmask)
{
    TempDir dir;
    auto img = testutil::MakeImage(3, 3, 8);
    mode_t old = umask(027);
    int status = CImage::SaveBMP(img.get(), dir.File("n.bmp").c_str());
    umask(old);
    ASSERT_EQ(status, CImage::kOk);
    EXPECT_EQ(StatOf(dir.File("n.bmp")).st_mode & 0777, 0640u);
}
