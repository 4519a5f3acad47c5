// safe_file.cpp: the temporary-file-and-rename writer used by the image savers.
#include "image/safe_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mirlan {

namespace {

// "dir/name" -> "dir/.name.tmp-<pid>-<n>": same directory, so that the final
// rename stays on one file system; hidden, so that file choosers skip it.
std::string TempNameBeside(const std::string &target, unsigned n)
{
    size_t slash = target.rfind('/');
    std::string dir = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    const std::string suffix = ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(n);
    // A target name near the file system's 255-byte limit would make the
    // temporary name too long to create: shorten it there.
    const size_t kMaxName = 255;
    if (1 + base.size() + suffix.size() > kMaxName)
        base.resize(kMaxName - 1 - suffix.size());
    return dir + "." + base + suffix;
}

std::atomic<unsigned> temp_counter{0};

}  // namespace

SafeFileWriter::SafeFileWriter(const char *target) : target_(target ? target : "")
{
    if (target_.empty() || target_.back() == '/')
        return;
    // Saving over an existing file needs the right to write it, as a plain
    // open for writing would.
    struct stat existing;
    bool replaces = stat(target_.c_str(), &existing) == 0;
    if (replaces && (!S_ISREG(existing.st_mode) || access(target_.c_str(), W_OK) != 0))
        return;
    for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
        temp_ = TempNameBeside(target_, temp_counter++);
        fd_ = open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ < 0 && errno != EEXIST)
            break;
    }
    if (fd_ < 0) {
        temp_.clear();
        return;
    }
    // The new file keeps the permissions of the one it replaces.
    if (replaces && fchmod(fd_, existing.st_mode & 07777) != 0)
        failed_ = true;
}

SafeFileWriter::~SafeFileWriter() { Abandon(); }

void SafeFileWriter::Abandon()
{
    if (fd_ >= 0)
        close(fd_);
    fd_ = -1;
    if (!temp_.empty())
        unlink(temp_.c_str());
    temp_.clear();
    failed_ = true;
}

bool SafeFileWriter::Write(const void *bytes, size_t n)
{
    if (fd_ < 0 || failed_)
        return false;
    const char *p = static_cast<const char *>(bytes);
    while (n > 0) {
        ssize_t done = write(fd_, p, n);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0) {
            failed_ = true;
            return false;
        }
        p += done;
        n -= static_cast<size_t>(done);
    }
    return true;
}

bool SafeFileWriter::Commit()
{
    if (fd_ < 0 || failed_) {
        Abandon();
        return false;
    }
    // Some file systems report a full disk only when the data is flushed or
    // the file closed; the target is replaced only after both succeeded.
    bool ok = fsync(fd_) == 0;
    ok = close(fd_) == 0 && ok;
    fd_ = -1;
    if (ok && std::rename(temp_.c_str(), target_.c_str()) == 0) {
        temp_.clear();
        return true;
    }
    Abandon();
    return false;
}

}  // namespace mirlan
