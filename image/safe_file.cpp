// safe_file.cpp: the writer used by the image savers: a temporary file
// renamed over the target, or the whole file kept in memory and written in
// place where a rename would split hard links or cannot be made, with the
// old content kept until the new one is safely on disk.
#include "image/safe_file.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace mirlan {

namespace {

std::string DirectoryOf(const std::string &path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file that path names once every symbolic link on the way is followed
// (the last one may name a file still to be created); empty for a loop.
std::string FollowLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        char link[PATH_MAX];
        const ssize_t n = readlink(path.c_str(), link, sizeof link - 1);
        if (n <= 0)
            return path;
        link[n] = '\0';
        path = link[0] == '/' ? std::string(link) : DirectoryOf(path) + link;
    }
    return std::string();
}

// "dir/name" -> "dir/.name.<tag>-<pid>-<n>": same directory, so that the
// final rename stays on one file system; hidden, so that file choosers skip it.
std::string HiddenNameBeside(const std::string &target, const char *tag, unsigned n)
{
    std::string dir = DirectoryOf(target);
    std::string base = target.substr(dir.size());
    const std::string suffix = std::string(".") + tag + "-" + std::to_string(getpid()) + "-" + std::to_string(n);
    // A target name near the file system's 255-byte limit would make the
    // hidden name too long to create: shorten it there.
    const size_t kMaxName = 255;
    if (1 + base.size() + suffix.size() > kMaxName)
        base.resize(kMaxName - 1 - suffix.size());
    return dir + "." + base + suffix;
}

std::atomic<unsigned> temp_counter{0};

// A new hidden file beside target, open for writing, its name in *name; -1
// (and *name empty) when the folder takes none.
int CreateBeside(const std::string &target, const char *tag, mode_t mode, std::string *name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = HiddenNameBeside(target, tag, temp_counter++);
        const int fd = open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            break;
    }
    name->clear();
    return -1;
}

// Writes all n bytes to fd; false on any failure.
bool WriteAll(int fd, const unsigned char *p, size_t n)
{
    while (n > 0) {
        const ssize_t done = write(fd, p, n);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        p += done;
        n -= static_cast<size_t>(done);
    }
    return true;
}

// Writes all n bytes to fd from offset 0; false on any failure.
bool WriteAllAt(int fd, const unsigned char *p, size_t n)
{
    return lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, p, n);
}

// Reserves the blocks n bytes need without changing the file, so that a
// full disk shows before any old byte is overwritten. File systems that
// cannot reserve are written all the same: the kept old content covers a
// failure there too.
bool Reserve(int fd, size_t n)
{
    if (n == 0 || fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(n)) == 0)
        return true;
    return errno == EOPNOTSUPP || errno == ENOSYS;
}

// The whole content of the file open on fd, or null (short memory, a read
// error).
std::unique_ptr<unsigned char[]> ReadWhole(int fd, size_t *size)
{
    struct stat st;
    if (fstat(fd, &st) != 0)
        return nullptr;
    *size = static_cast<size_t>(st.st_size);
    std::unique_ptr<unsigned char[]> bytes(new (std::nothrow) unsigned char[*size]);
    for (size_t done = 0; bytes && done < *size;) {
        const ssize_t got = pread(fd, bytes.get() + done, *size - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return nullptr;
        done += static_cast<size_t>(got);
    }
    return bytes;
}

// The old file's owner and group where this process may give them (root, or
// a group the user belongs to); otherwise the file becomes the user's own,
// as any file they create.
void GiveOwnerAndGroup(int fd, const struct stat &old)
{
    if (fchown(fd, old.st_uid, old.st_gid) == 0)
        return;
    if (fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0)
        return;
}

}  // namespace

namespace {

thread_local int last_save_error = 0;

}  // namespace

int LastSaveError() { return last_save_error; }

const char *DescribeSaveError(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return "Disque plein.";
    case EACCES:
    case EPERM:
        return "Permission refusée.";
    case EROFS:
        return "Système de fichiers en lecture seule.";
    case ENOENT:
    case ENOTDIR:
        return "Dossier introuvable.";
    case EFBIG:
        return "Fichier trop grand pour la limite de taille.";
    case EISDIR:
        return "Ce nom est celui d'un dossier.";
    case ENOMEM:
        return "Mémoire insuffisante.";
    default:
        return "Erreur d'écriture.";
    }
}

void SafeFileWriter::NoteFailure(int error)
{
    if (!last_save_error)
        last_save_error = error ? error : EIO;
}

SafeFileWriter::SafeFileWriter(const char *target)
{
    last_save_error = 0;
    const int error = Prepare(target ? target : "");
    if (error)
        NoteFailure(error);
}

// Finds the file that receives the bytes and opens the temporary file, or
// chooses to write in place; the reason when the save cannot go on.
int SafeFileWriter::Prepare(const std::string &named)
{
    if (named.empty() || named.back() == '/')
        return EISDIR;
    target_ = FollowLinks(named);
    if (target_.empty())
        return errno;
    // Saving over an existing file needs the right to write it, as a plain
    // open for writing would.
    struct stat existing;
    const bool replaces = stat(target_.c_str(), &existing) == 0;
    if (replaces && !S_ISREG(existing.st_mode))
        return EISDIR;
    if (replaces && access(target_.c_str(), W_OK) != 0)
        return errno;
    // A rename would split a file with other names from them; a folder
    // that takes no new file leaves only the file itself to write.
    if ((replaces && existing.st_nlink > 1) || (!OpenTemporary(replaces) && replaces))
        in_place_ = true;
    return IsOpen() ? 0 : errno;
}

bool SafeFileWriter::OpenTemporary(bool replaces)
{
    struct stat existing;
    if (replaces && stat(target_.c_str(), &existing) != 0)
        return false;
    fd_ = CreateBeside(target_, "tmp", 0666, &temp_);
    if (fd_ < 0)
        return false;
    if (replaces) {
        // The permission bits go last: a change of owner may clear some.
        GiveOwnerAndGroup(fd_, existing);
        if (fchmod(fd_, existing.st_mode & 07777) != 0) {
            NoteFailure(errno);
            failed_ = true;
        }
    }
    return true;
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
    kept_.clear();
    failed_ = true;
}

bool SafeFileWriter::Write(const void *bytes, size_t n)
{
    if (!IsOpen() || failed_)
        return false;
    const unsigned char *p = static_cast<const unsigned char *>(bytes);
    if (!in_place_) {
        failed_ = !WriteAll(fd_, p, n);
        if (failed_)
            NoteFailure(errno);
        return !failed_;
    }
    try {
        kept_.insert(kept_.end(), p, p + n);
    } catch (const std::bad_alloc &) {
        NoteFailure(ENOMEM);
        failed_ = true;
    }
    return !failed_;
}

bool SafeFileWriter::Commit()
{
    if (!IsOpen() || failed_) {
        Abandon();
        return false;
    }
    if (in_place_) {
        const bool ok = CommitInPlace();
        if (!ok)
            NoteFailure(errno);
        Abandon();
        return ok;
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
    NoteFailure(errno);
    Abandon();
    return false;
}

// The whole picture is encoded by now. The new length is reserved first;
// the old content is read into memory and copied, synced, to a hidden file
// beside the target (".name.before-save-<pid>-<n>") where the folder takes
// one; only then is the file overwritten, cut to its new length and synced.
// Any failure there writes the old content back. A save killed midway
// leaves the copy beside the file, holding what it was; a folder closed to
// new files has no such copy, and there a kill leaves the file cut.
bool SafeFileWriter::CommitInPlace()
{
    const int fd = open(target_.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return false;
    size_t oldSize = 0;
    const std::unique_ptr<unsigned char[]> old = ReadWhole(fd, &oldSize);
    bool ok = old && Reserve(fd, kept_.size()) && KeepCopy(old.get(), oldSize);
    if (ok) {
        ok = WriteAllAt(fd, kept_.data(), kept_.size()) &&
             ftruncate(fd, static_cast<off_t>(kept_.size())) == 0 && fsync(fd) == 0;
        const bool restored = ok || (WriteAllAt(fd, old.get(), oldSize) &&
                                     ftruncate(fd, static_cast<off_t>(oldSize)) == 0 && fsync(fd) == 0);
        if (!restored)
            temp_.clear();  // the copy beside is all that is left of the old file
    }
    ok = close(fd) == 0 && ok;
    return ok;
}

// Copies the old content to a new hidden file beside the target, synced,
// which Abandon() removes. True without a copy when the folder takes no new
// file; false when the copy cannot be written whole.
bool SafeFileWriter::KeepCopy(const unsigned char *old, size_t size)
{
    const int fd = CreateBeside(target_, "before-save", 0600, &temp_);
    if (fd < 0)
        return true;
    bool ok = WriteAll(fd, old, size) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    return ok;
}

}  // namespace mirlan
