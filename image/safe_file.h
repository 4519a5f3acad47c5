// safe_file.h: writes a file so that a failed save never damages the file it
// was meant to replace.
//
// The bytes go to a hidden temporary file in the target's directory; Commit()
// flushes it to disk and renames it over the target. Any failed write, flush,
// close or rename makes the save fail, and the temporary file is removed.
#ifndef MIRLAN_IMAGE_SAFE_FILE_H
#define MIRLAN_IMAGE_SAFE_FILE_H

#include <cstddef>
#include <string>

namespace mirlan {

class SafeFileWriter {
public:
    // Creates the temporary file beside target; IsOpen() tells whether it worked.
    explicit SafeFileWriter(const char *target);
    // Removes the temporary file unless Commit() succeeded.
    ~SafeFileWriter();

    SafeFileWriter(const SafeFileWriter &) = delete;
    SafeFileWriter &operator=(const SafeFileWriter &) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    // Appends n bytes; false on any failure (a full disk, a size limit),
    // after which every later call fails too.
    bool Write(const void *bytes, size_t n);
    // Flushes, closes and renames the temporary file over the target.
    bool Commit();

private:
    void Abandon();

    std::string target_;
    std::string temp_;
    int fd_ = -1;
    bool failed_ = false;
};

}  // namespace mirlan

#endif
