// widget_test_util.h: what the widget tests share: a private temp
// directory, byte-by-byte file writing, small synthetic images, the captured
// alerts of the image view, and reading back what a window shows.
#ifndef MIRLAN_WIDGET_TEST_UTIL_H
#define MIRLAN_WIDGET_TEST_UTIL_H

#include <FL/Fl_Window.H>

#include <functional>
#include <ostream>
#include <memory>
#include <string>
#include <vector>

#include "image/image.h"

namespace widget_test {

// A directory of its own for each test, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    std::string Path(const std::string &name) const { return dir_ + "/" + name; }
    // Writes bytes to name in this directory and returns the full path.
    std::string Write(const std::string &name, const std::vector<unsigned char> &bytes) const;
    std::string Write(const std::string &name, const std::string &text) const;

private:
    std::string dir_;
};

// A w x h image whose byte c of pixel (x, y) is value(x, y, c).
std::unique_ptr<CImage> MakeImage(int w, int h, int bpp, const std::function<int(int, int, int)> &value);

// The alerts the image view has shown since the last call, cleared.
std::vector<std::string> TakeAlerts();

// An RGB pixel read back from the screen.
struct Rgb {
    int r, g, b;
    bool operator==(const Rgb &o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb &o) const { return !(*this == o); }
};

// Printed as (r, g, b) in test failures.
void PrintTo(const Rgb &p, std::ostream *os);

// Shows win, waits until it is drawn, and reads back w x h pixels at (x, y)
// of its area, row by row.
std::vector<Rgb> ShowAndRead(Fl_Window &win, int x, int y, int w, int h);

}  // namespace widget_test

#endif
