// status_line.h: the status line of the main window, which shortens a long
// file name in its middle so that the picture's size always shows.
#ifndef MIRLAN_APP_STATUS_LINE_H
#define MIRLAN_APP_STATUS_LINE_H

#include <FL/Fl_Box.H>

#include <functional>
#include <string>

// text shortened until fits accepts it: the part before its last " (" loses
// characters from its middle, replaced by "…"; the rest is kept whole. Cuts
// fall between UTF-8 characters. The whole text when it fits; "…" and the
// rest when nothing else does.
std::string FitStatusText(const std::string &text,
                          const std::function<bool(const std::string &)> &fits);

// A box whose label is a caller's buffer holding the text shortened to the
// box's width in its own font; the whole text is kept, so that the label is
// fitted again whenever the box is drawn at another width.
class CStatusLineFL : public Fl_Box {
public:
    CStatusLineFL(int x, int y, int w, int h) : Fl_Box(x, y, w, h) {}
    // Shows text through buffer (of size bytes), which becomes the label.
    void SetText(const std::string &text, char *buffer, size_t size);

protected:
    void draw() override;

private:
    std::string text_;
    char *buffer_ = nullptr;
    size_t size_ = 0;
    void Fit();
};

#endif
