// document.h: the picture being edited, apart from any window: the picture,
// its file's name and format, whether it differs from what was last opened
// or saved, and its history of changes for undo and redo. Changes are
// transactions: one that fails (std::bad_alloc) leaves everything as it was.
#ifndef MIRLAN_DOCUMENT_DOCUMENT_H
#define MIRLAN_DOCUMENT_DOCUMENT_H

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "image/formats.h"
#include "image/image.h"
#include "image/image_file.h"
#include "processing/operations.h"

namespace mirlan {

// What the history may hold in stored pictures: a quarter of the physical
// memory, at most 2 GiB.
size_t DefaultHistoryBudget();

class Document {
public:
    explicit Document(size_t historyBudget = DefaultHistoryBudget());
    Document(const Document &) = delete;
    Document &operator=(const Document &) = delete;

    // Reads path as the new picture, unchanged and with no history; on a
    // failure returns why, with everything as it was. *found (when given)
    // is the format the file's content showed, or null.
    ReadError Open(const char *path, const ImageFormat **found = nullptr);
    // The same with a picture already read from a file of that format.
    void Adopt(std::unique_ptr<CImage> picture, const std::string &path, const ImageFormat *format);
    // Drops the picture and its history.
    void Close();
    // The picture has now been written to path in format: it is unchanged.
    void Saved(const std::string &path, const ImageFormat *format);

    const CImage *Picture() const { return picture_.get(); }
    const std::string &Path() const { return path_; }
    // The file's format, as its content showed or as last saved.
    const ImageFormat *Format() const { return format_; }
    // Whether the picture differs from the state last opened or saved.
    bool Modified() const { return picture_ && done_ != saved_; }

    // Runs op with its values on the picture as one step of the history,
    // which drops the steps ahead.
    void Apply(const Operation &op, const double *values);
    // The operations undo and redo would step over, or null.
    const Operation *NextUndo() const { return done_ ? steps_[done_ - 1].op : nullptr; }
    const Operation *NextRedo() const { return done_ < steps_.size() ? steps_[done_].op : nullptr; }
    // One step back or forward; nothing when there is none.
    void Undo();
    void Redo();
    // Undoes the last step done and forgets it with the steps ahead (for a
    // change whose refresh failed); std::bad_alloc leaves everything as it was.
    void TakeBack();
    // Bytes of the pictures the history holds.
    size_t HistoryBytes() const { return bytes_; }

private:
    // A reversible step keeps its values; any other keeps the other picture:
    // the one from before it while it is done, from after it once undone.
    struct Step {
        const Operation *op;
        double values[kMaxParams];
        std::unique_ptr<CImage> other;
    };

    std::unique_ptr<CImage> picture_;
    std::string path_;
    const ImageFormat *format_ = nullptr;
    std::vector<Step> steps_;
    size_t done_ = 0;        // steps [0, done_) are done, the rest undone
    size_t saved_ = 0;       // done_ at the state last opened or saved
    size_t budget_, bytes_ = 0;

    static constexpr size_t kNowhere = size_t(-1);  // saved_ of a state no step reaches

    static size_t StoredBytes(const Step &step) { return step.other ? step.other->ByteCount() : 0; }
    // Undoes or redoes step: swaps the picture with the one it stores, or
    // runs `run` (the operation or its inverse) with its values.
    void Toggle(Step &step, const Operation *run);
    void DropUndone();
    void KeepWithinBudget();
};

}  // namespace mirlan

#endif
