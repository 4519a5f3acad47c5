// save_rules_test.cpp: what saving over a path keeps and what it refuses:
// links, permissions, owner and group, a folder closed to new files, and
// the saves that must fail without damaging the file that was there (under
// any of its names) or leaving a temporary file behind. Each row prepares a folder with a shell
// command, saves there in a child (as the user nobody when asked, for root
// writes anything; under a file-size limit when asked) and checks the
// folder with a shell command.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "image_test_util.h"

namespace {

const uid_t kNobody = 65534;

int SaveInChild(CImage &img, const std::string &target, bool asNobody, rlim_t limit)
{
    const pid_t pid = fork();
    if (pid == 0) {
        if (asNobody && geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0))
            _exit(100);
        const struct rlimit rl = {limit, limit};
        if (limit && (signal(SIGXFSZ, SIG_IGN) == SIG_ERR || setrlimit(RLIMIT_FSIZE, &rl) != 0))
            _exit(100);
        umask(027);
        _exit(CImage::SaveTGA(&img, target.c_str()));
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SaveRules, WhatASaveKeepsAndWhatItRefuses)
{
    testutil::TempDir top;
    chmod(top.path.c_str(), 0755);
    auto img = testutil::MakeImage(40, 30, 24);
    ASSERT_EQ(CImage::SaveTGA(img.get(), top.File("picture.tga").c_str()), CImage::kOk);
    const int kOk = CImage::kOk, kFailed = CImage::kWriteFailed;
    const struct {
        const char *what, *setUp, *target;
        bool asNobody;
        rlim_t limit;
        int status;
        const char *check;
    } rows[] = {
        {"a symbolic link stays, its target receives the picture",
         "mkdir real && echo old > real/t.tga && ln -s real/t.tga link.tga", "link.tga", false, 0, kOk,
         "[ -L link.tga ] && cmp -s real/t.tga ../picture.tga && [ \"$(ls -A | xargs)\" = 'link.tga real' ]"},
        {"permission bits, owner and group are kept",
         "echo old > f.tga && chmod 604 f.tga && { [ $(id -u) != 0 ] || chown nobody:nogroup f.tga; } && "
         "stat -c %a:%u:%g f.tga > ../before",
         "f.tga", false, 0, kOk, "[ \"$(stat -c %a:%u:%g f.tga)\" = \"$(cat ../before)\" ] && cmp -s f.tga ../picture.tga"},
        {"a hard link stays shared", "echo old > a.tga && ln a.tga b.tga", "a.tga", false, 0, kOk,
         "cmp -s b.tga ../picture.tga && [ a.tga -ef b.tga ] && [ \"$(ls -A | xargs)\" = 'a.tga b.tga' ]"},
        {"a writable file in a folder closed to new files is written in place",
         "mkdir ro && head -c 100000 /dev/zero > ro/f.tga && chmod 666 ro/f.tga && chmod 555 ro", "ro/f.tga", true, 0,
         kOk, "cmp -s ro/f.tga ../picture.tga"},
        {"a new file follows the umask", "true", "n.tga", false, 0, kOk,
         "[ $(stat -c %a n.tga) = 640 ] && cmp -s n.tga ../picture.tga"},
        {"a full disk while writing in place writes the old content back", "echo old > a.tga && ln a.tga b.tga",
         "a.tga", false, 1000, kFailed,
         "[ \"$(cat b.tga)\" = old ] && [ a.tga -ef b.tga ] && [ \"$(ls -A | xargs)\" = 'a.tga b.tga' ]"},
        {"an old content too large to copy is left untouched",
         "head -c 3000 /dev/urandom > a.tga && ln a.tga b.tga && cp a.tga ../kept", "a.tga", false, 2000, kFailed,
         "cmp -s b.tga ../kept && [ a.tga -ef b.tga ] && [ \"$(ls -A | xargs)\" = 'a.tga b.tga' ]"},
        {"a full disk keeps the old file and leaves no temporary file", "echo old > f.tga", "f.tga", false,
         18 + 40 * 30 * 3 - 1, kFailed, "[ \"$(cat f.tga)\" = old ] && [ \"$(ls -A)\" = f.tga ]"},
        {"a read-only file is not replaced", "echo old > f.tga && chmod 444 f.tga", "f.tga", true, 0, kFailed,
         "[ \"$(cat f.tga)\" = old ]"},
        {"a folder in the file's place stays a folder", "mkdir sub", "sub", false, 0, kFailed,
         "[ -d sub ] && [ \"$(ls -A)\" = sub ]"},
        {"a missing folder creates nothing", "true", "no/such/x.tga", false, 0, kFailed, "[ -z \"$(ls -A)\" ]"},
    };
    int n = 0;
    for (const auto &row : rows) {
        const std::string dir = top.File(std::to_string(++n)), cd = "cd '" + dir + "' && ";
        ASSERT_EQ(mkdir(dir.c_str(), 0777) | chmod(dir.c_str(), 0777), 0);
        ASSERT_EQ(std::system((cd + row.setUp).c_str()), 0) << row.what;
        EXPECT_EQ(SaveInChild(*img, dir + "/" + row.target, row.asNobody, row.limit), row.status) << row.what;
        EXPECT_EQ(std::system((cd + row.check).c_str()), 0) << row.what;
    }
}

}  // namespace
