// status_line.cpp: the status line and the middle shortening of its text.
#include "app/status_line.h"

#include <FL/fl_draw.H>
#include <FL/x.H>

#include <cstring>
#include <vector>

namespace {

const char kEllipsis[] = "\xE2\x80\xA6";  // "…"

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Byte offsets where each UTF-8 character of s starts, then s.size().
std::vector<size_t> CharacterStarts(const std::string &s)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i < s.size(); ++i)
        if (!IsContinuationByte(s[i]))
            starts.push_back(i);
    starts.push_back(s.size());
    return starts;
}

}  // namespace

std::string FitStatusText(const std::string &text,
                          const std::function<bool(const std::string &)> &fits)
{
    if (fits(text))
        return text;
    const size_t split = text.rfind(" (");
    const std::string head = text.substr(0, split == std::string::npos ? text.size() : split);
    const std::string tail = text.substr(head.size());
    const std::vector<size_t> starts = CharacterStarts(head);
    const size_t count = starts.size() - 1;
    for (size_t keep = count; keep-- > 0;) {
        const size_t left = (keep + 1) / 2, right = keep / 2;
        std::string candidate = head.substr(0, starts[left]) + kEllipsis +
                                head.substr(starts[count - right]) + tail;
        if (fits(candidate))
            return candidate;
    }
    return kEllipsis + tail;
}

void CStatusLineFL::SetText(const std::string &text, char *buffer, size_t size)
{
    text_ = text;
    buffer_ = buffer;
    size_ = size;
    Fit();
    label(buffer_);
    redraw_label();
}

void CStatusLineFL::draw()
{
    Fit();
    Fl_Box::draw();
}

// The label is drawn 3 pixels in from each side of the box.
void CStatusLineFL::Fit()
{
    if (!buffer_)
        return;
    const bool canMeasure = fl_display != nullptr;
    if (canMeasure)
        fl_font(labelfont(), labelsize());
    const double room = w() - 6;
    const std::string shown = FitStatusText(text_, [&](const std::string &s) {
        return s.size() < size_ && (!canMeasure || fl_width(s.c_str(), int(s.size())) <= room);
    });
    std::memcpy(buffer_, shown.c_str(), shown.size() + 1);
}
