// safe_file.h: writes a file so that a failed save never damages the file it
// was meant to replace, and a save over an existing file keeps what the user
// has of it.
//
// A symbolic link is followed to the file it names, which receives the bytes
// (the link stays). Usually the bytes go to a hidden temporary file in that
// file's directory, which takes the old file's permissions, owner and group
// and is renamed over it at Commit(). A file with several hard links, or in a
// directory where no temporary file can be made, is written in place instead:
// every byte is kept in memory until Commit(), which reserves the new length,
// keeps a copy of the old content (a hidden file beside it, when the folder
// takes one), writes the new bytes over the file, cuts it to its new length
// and syncs it, or writes the old content back if any of that fails. Any
// failed write, flush, close or rename makes the save fail, and the
// temporary file or copy is removed.
#ifndef MIRLAN_IMAGE_SAFE_FILE_H
#define MIRLAN_IMAGE_SAFE_FILE_H

#include <cstddef>
#include <string>
#include <vector>

namespace mirlan {

// Why the last save on this thread failed: the errno of its first failed
// step (ENOSPC, EACCES, EROFS, ENOENT, EFBIG, ENOMEM...), or 0.
int LastSaveError();
// That reason in the user's words (French), for the alert or the message
// that reports the failed save: "Disque plein.", "Permission refusée."...
const char *DescribeSaveError(int error);

class SafeFileWriter {
public:
    // Prepares the save of target; IsOpen() tells whether it can go on.
    explicit SafeFileWriter(const char *target);
    // Removes the temporary file unless Commit() succeeded.
    ~SafeFileWriter();

    SafeFileWriter(const SafeFileWriter &) = delete;
    SafeFileWriter &operator=(const SafeFileWriter &) = delete;

    bool IsOpen() const { return fd_ >= 0 || in_place_; }
    // True when the file is written in place at Commit().
    bool InPlace() const { return in_place_; }
    // Appends n bytes; false on any failure (a full disk, a size limit,
    // short memory), after which every later call fails too.
    bool Write(const void *bytes, size_t n);
    // Puts the bytes in the file: flushes and renames the temporary file
    // over it, or writes the kept bytes over it in place.
    bool Commit();

private:
    int Prepare(const std::string &named);
    bool OpenTemporary(bool replaces);
    bool CommitInPlace();
    bool KeepCopy(const unsigned char *old, size_t size);
    void Abandon();
    // Remembers errno as the reason of the save's failure, if it has none.
    void NoteFailure(int error);

    std::string target_;  // the file that receives the bytes, links resolved
    std::string temp_;  // the temporary file, or the old content's copy
    int fd_ = -1;
    bool in_place_ = false;
    std::vector<unsigned char> kept_;  // the bytes of an in-place save
    bool failed_ = false;
};

}  // namespace mirlan

#endif
