// document.cpp: the document and its history (see document.h).
#include "document/document.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include <unistd.h>

#include "processing/parallel.h"
#include "image/pixel_buffer.h"

namespace mirlan {

namespace {

// Below a megabyte a copy is not worth a second thread.
const size_t kCopyBytesPerThread = size_t(1) << 20;

// A copy of src, its bytes copied on every core into a buffer on huge pages
// where the kernel has them. Throws std::bad_alloc with nothing changed.
std::unique_ptr<CImage> CopyOf(const CImage &src)
{
    auto copy = std::make_unique<CImage>();
    copy->Replace(NewPixelBuffer(src.ByteCount()), src.width, src.height, src.bpp);
    unsigned char *to = copy->data;
    const unsigned char *from = src.data;
    if (from)
        ParallelFor(src.ByteCount(), kCopyBytesPerThread,
                    [=](size_t first, size_t last) { std::memcpy(to + first, from + first, last - first); });
    return copy;
}

}  // namespace

size_t DefaultHistoryBudget()
{
    const long pages = sysconf(_SC_PHYS_PAGES), size = sysconf(_SC_PAGE_SIZE);
    const size_t quarter = pages > 0 && size > 0 ? size_t(pages) / 4 * size_t(size) : 0;
    return std::min(quarter, size_t(2) << 30);
}

Document::Document(size_t historyBudget) : budget_(historyBudget) {}

ReadError Document::Open(const char *path, const ImageFormat **found)
{
    ReadError error = ReadError::kNone;
    const ImageFormat *format = nullptr;
    std::unique_ptr<CImage> picture(ReadImageFile(path, &error, &format));
    if (found)
        *found = format;
    if (!picture)
        return error == ReadError::kNone ? ReadError::kUnreadable : error;
    Adopt(std::move(picture), path, format);
    return ReadError::kNone;
}

void Document::Adopt(std::unique_ptr<CImage> picture, const std::string &path, const ImageFormat *format)
{
    Close();
    picture_ = std::move(picture);
    path_ = path;
    format_ = format;
}

void Document::Close()
{
    picture_.reset();
    steps_.clear();
    path_.clear();
    format_ = nullptr;
    done_ = saved_ = bytes_ = 0;
    ReleaseKeptPixelBuffer();  // the dropped picture's, of no use to the next
}

void Document::Saved(const std::string &path, const ImageFormat *format)
{
    path_ = path;
    format_ = format;
    saved_ = done_;
}

void Document::Apply(const Operation &op, const double *values)
{
    if (!picture_)
        return;
    Step step{&op, {}, nullptr};
    std::copy(values, values + op.count, step.values);
    // Room first: nothing after the change may fail.
    steps_.reserve(done_ + 1);
    if (InverseOf(op) && (!op.exactOn || op.exactOn(*picture_))) {
        op.run(picture_.get(), values);
    } else {
        // Run on a copy, so that a failure leaves the picture; the picture
        // from before then moves into the step.
        std::unique_ptr<CImage> changed = CopyOf(*picture_);
        op.run(changed.get(), values);
        step.other = std::exchange(picture_, std::move(changed));
    }
    DropUndone();
    bytes_ += StoredBytes(step);
    steps_.push_back(std::move(step));
    ++done_;
    KeepWithinBudget();
}

void Document::Undo()
{
    if (!done_)
        return;
    Step &step = steps_[done_ - 1];
    Toggle(step, InverseOf(*step.op));
    --done_;
}

void Document::Redo()
{
    if (done_ == steps_.size())
        return;
    Step &step = steps_[done_];
    Toggle(step, step.op);
    ++done_;
}

void Document::Toggle(Step &step, const Operation *run)
{
    if (!step.other) {
        run->run(picture_.get(), step.values);
        return;
    }
    bytes_ += picture_->ByteCount();
    bytes_ -= step.other->ByteCount();
    std::swap(picture_, step.other);
}

void Document::TakeBack()
{
    if (!done_)
        return;
    Undo();
    DropUndone();
}

void Document::DropUndone()
{
    for (size_t i = done_; i < steps_.size(); ++i)
        bytes_ -= StoredBytes(steps_[i]);
    steps_.resize(done_);
    if (saved_ != kNowhere && saved_ > done_)
        saved_ = kNowhere;
}

// Drops the oldest steps while the stored pictures pass the budget, always
// keeping the newest.
void Document::KeepWithinBudget()
{
    size_t drop = 0;
    while (bytes_ > budget_ && done_ - drop > 1) {
        bytes_ -= StoredBytes(steps_[drop]);
        ++drop;
    }
    if (!drop)
        return;
    steps_.erase(steps_.begin(), steps_.begin() + ptrdiff_t(drop));
    done_ -= drop;
    saved_ = saved_ != kNowhere && saved_ >= drop ? saved_ - drop : kNowhere;
}

}  // namespace mirlan
