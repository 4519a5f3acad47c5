// image_file.cpp: opening a picture file (see image_file.h), and the checked
// helpers that the decoders share.
#include "image/image_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <new>

#include "image/formats.h"
#include "image/image.h"
#include "image/pixel_buffer.h"
#include "image/pixel_decoders.h"

namespace mirlan {

namespace {

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

constexpr size_t kWindowBytes = size_t(1) << 20;

// The format of the file's first bytes, and its decoder's result, with a
// read error or a failed window allocation taking precedence over the bad
// format it caused.
CImage *DecodeByContent(int fd, off_t length, ReadError *error, const ImageFormat **format)
{
    ByteSource file(fd, size_t(length));
    const size_t n = std::min(kSignatureBytes, file.Size());
    const unsigned char *head = file.Get(0, n);
    *format = head ? FormatOfContent(head, n) : nullptr;
    CImage *img = nullptr;
    if (*format)
        img = (*format)->decode(file, error);
    else
        *error = ReadError::kBadFormat;
    if (!img && file.Failure() != ReadError::kNone)
        *error = file.Failure();
    return img;
}

uint64_t picture_pixel_limit = UINT64_MAX;

}  // namespace

ByteSource::ByteSource(int fd, size_t size) : fd_(fd), size_(size) {}

// Reads up to n bytes at offset at into dst; how many were read. A read
// error is remembered, a file that shrank while read gives fewer bytes.
size_t ByteSource::ReadAt(size_t at, size_t n, unsigned char *dst)
{
    size_t done = 0;
    while (done < n) {
        const ssize_t got = pread(fd_, dst + done, n - done, off_t(at + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            failure_ = ReadError::kUnreadable;
        if (got <= 0)
            break;
        done += size_t(got);
    }
    return done;
}

const unsigned char *ByteSource::Fill(size_t at, size_t n)
{
    if (at > size_ || n > size_ - at)
        return nullptr;
    const size_t want = std::min(std::max(n, kWindowBytes), size_ - at);
    start_ = at;
    length_ = 0;
    if (want > capacity_) {
        buffer_.reset(new (std::nothrow) unsigned char[want]);
        capacity_ = buffer_ ? want : 0;
        if (!buffer_) {
            failure_ = ReadError::kNoMemory;
            return nullptr;
        }
    }
    window_ = buffer_.get();
    length_ = ReadAt(at, want, buffer_.get());
    return length_ >= n ? window_ : nullptr;
}

bool ByteSource::CopyTo(size_t at, size_t n, unsigned char *dst)
{
    return at <= size_ && n <= size_ - at && ReadAt(at, n, dst) == n;
}

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
    if (uint64_t(w) * uint64_t(h) > picture_pixel_limit) {
        *error = ReadError::kTooLarge;
        return nullptr;
    }
    std::unique_ptr<CImage> img(new (std::nothrow) CImage());
    unsigned char *pixels = nullptr;
    try {
        pixels = img ? NewPixelBuffer(CImage::ByteCount(w, h, bpp)) : nullptr;
    } catch (const std::bad_alloc &) {
    }
    if (!pixels) {
        *error = ReadError::kNoMemory;
        return nullptr;
    }
    img->Replace(pixels, w, h, bpp);
    return img.release();
}

void LimitPicturePixels(uint64_t pixels) { picture_pixel_limit = pixels; }

CImage *ReadImageFile(const char *path, ReadError *error, const ImageFormat **format)
{
    ReadError why = ReadError::kNone;
    const ImageFormat *found = nullptr;
    CImage *img = nullptr;
    Descriptor file{-1};
    off_t length = 0;
    why = OpenRegularFile(path, &file, &length);
    if (why == ReadError::kNone)
        img = DecodeByContent(file.fd, length, &why, &found);
    if (error)
        *error = why;
    if (format)
        *format = found;
    return img;
}

}  // namespace mirlan
