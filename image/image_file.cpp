// image_file.cpp: opening a picture file (see image_file.h), and the checked
// helpers that the decoders share.
#include "image/image_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <new>

#include "image/image.h"
#include "image/pixel_decoders.h"

namespace mirlan {

namespace {

// A file's whole content in memory.
struct FileBytes {
    std::unique_ptr<unsigned char[]> data;
    size_t size = 0;
};

// Closes a descriptor on every way out.
struct Descriptor {
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            close(fd);
    }
};

// Opens path only if it is a regular file: a named pipe would block and a
// device may never end. O_NONBLOCK keeps the open itself from waiting on a
// pipe that appeared after the check.
ReadError OpenRegularFile(const char *path, Descriptor *file, off_t *size)
{
    struct stat st;
    if (!path || stat(path, &st) != 0 || !S_ISREG(st.st_mode))
        return ReadError::kUnreadable;
    file->fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (file->fd < 0 || fstat(file->fd, &st) != 0 || !S_ISREG(st.st_mode))
        return ReadError::kUnreadable;
    *size = st.st_size;
    return ReadError::kNone;
}

ReadError ReadWholeFile(const char *path, FileBytes *bytes)
{
    Descriptor file{-1};
    off_t length = 0;
    ReadError why = OpenRegularFile(path, &file, &length);
    if (why != ReadError::kNone)
        return why;
    if (uint64_t(length) > SIZE_MAX - 1)
        return ReadError::kNoMemory;
    bytes->data.reset(new (std::nothrow) unsigned char[size_t(length) + 1]);
    if (!bytes->data)
        return ReadError::kNoMemory;
    // A file that shrinks while read is taken as far as it goes.
    while (bytes->size < size_t(length)) {
        const ssize_t n = read(file.fd, bytes->data.get() + bytes->size, size_t(length) - bytes->size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return ReadError::kUnreadable;
        if (n == 0)
            break;
        bytes->size += size_t(n);
    }
    return ReadError::kNone;
}

CImage *ReadTga(const char *path, ReadError *error)
{
    Descriptor file{-1};
    off_t length = 0;
    *error = OpenRegularFile(path, &file, &length);
    if (*error != ReadError::kNone)
        return nullptr;
    std::unique_ptr<CImage> img(new (std::nothrow) CImage());
    if (!img) {
        *error = ReadError::kNoMemory;
        return nullptr;
    }
    try {
        if (CImage::LoadTGA(img.get(), path) != CImage::kOk || !img->data)
            *error = ReadError::kBadFormat;
    } catch (const std::bad_alloc &) {
        *error = ReadError::kNoMemory;
    }
    return *error == ReadError::kNone ? img.release() : nullptr;
}

}  // namespace

ReadError CheckSide(int64_t side)
{
    if (side > kMaxImageSide)
        return ReadError::kTooLarge;
    return side < 1 ? ReadError::kBadFormat : ReadError::kNone;
}

bool CheckedProduct(uint64_t a, uint64_t b, size_t *product)
{
    uint64_t p;
    if (__builtin_mul_overflow(a, b, &p) || p > SIZE_MAX)
        return false;
    *product = size_t(p);
    return true;
}

CImage *NewImage(int w, int h, int bpp, ReadError *error)
{
    std::unique_ptr<CImage> img(new (std::nothrow) CImage());
    unsigned char *pixels = img ? new (std::nothrow) unsigned char[CImage::ByteCount(w, h, bpp)] : nullptr;
    if (!pixels) {
        *error = ReadError::kNoMemory;
        return nullptr;
    }
    img->Replace(pixels, w, h, bpp);
    return img.release();
}

CImage *ReadImageFile(const char *path, ReadError *error)
{
    ReadError why = ReadError::kNone;
    CImage *img = nullptr;
    const int type = CImage::GetType(path);
    if (type == CImage::kTypeTGA) {
        img = ReadTga(path, &why);
    } else if (type == CImage::kTypeUnknown) {
        Descriptor file{-1};
        off_t length;
        why = OpenRegularFile(path, &file, &length);
        if (why == ReadError::kNone)
            why = ReadError::kBadFormat;
    } else {
        FileBytes bytes;
        why = ReadWholeFile(path, &bytes);
        if (why == ReadError::kNone && type == CImage::kTypeBMP)
            img = DecodeBmp(bytes.data.get(), bytes.size, &why);
        else if (why == ReadError::kNone)
            img = DecodePnm(bytes.data.get(), bytes.size, &why);
    }
    if (error)
        *error = why;
    return img;
}

}  // namespace mirlan
