// widget_test_util.cpp: shared helpers of the widget tests, and the test
// environment that registers the toolkit's readers and captures alerts.
#include <gtest/gtest.h>  // before the toolkit, whose X11 macros clash with it

#include "widget_test_util.h"

#include <FL/Fl.H>
#include <FL/Fl_Shared_Image.H>
#include <FL/fl_draw.H>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <unistd.h>

#include "widgets/CImageBoxFL.h"

namespace widget_test {

namespace {

std::vector<std::string> &Alerts()
{
    static std::vector<std::string> alerts;
    return alerts;
}

void RecordAlert(const char *message) { Alerts().push_back(message); }

class WidgetEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        fl_register_images();
        CImageBoxFL::alert_function = RecordAlert;
    }
};

::testing::Environment *const kEnvironment = ::testing::AddGlobalTestEnvironment(new WidgetEnvironment);

}  // namespace

TempDir::TempDir()
{
    char pattern[] = "/tmp/mirlan-widgets-XXXXXX";
    const char *made = mkdtemp(pattern);
    if (!made)
        std::abort();
    dir_ = made;
}

TempDir::~TempDir()
{
    if (DIR *d = opendir(dir_.c_str())) {
        while (dirent *e = readdir(d)) {
            std::string name = e->d_name;
            if (name != "." && name != "..")
                std::remove(Path(name).c_str());
        }
        closedir(d);
    }
    rmdir(dir_.c_str());
}

std::string TempDir::Write(const std::string &name, const std::vector<unsigned char> &bytes) const
{
    std::string path = Path(name);
    FILE *fp = std::fopen(path.c_str(), "wb");
    if (!fp)
        std::abort();
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), fp);
    std::fclose(fp);
    return path;
}

std::string TempDir::Write(const std::string &name, const std::string &text) const
{
    return Write(name, std::vector<unsigned char>(text.begin(), text.end()));
}

std::unique_ptr<CImage> MakeImage(int w, int h, int bpp, const std::function<int(int, int, int)> &value)
{
    auto img = std::make_unique<CImage>(w, h, bpp);
    unsigned char *p = img->data;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < bpp / 8; ++c)
                *p++ = static_cast<unsigned char>(value(x, y, c));
    return img;
}

std::vector<std::string> TakeAlerts()
{
    std::vector<std::string> out;
    out.swap(Alerts());
    return out;
}

std::vector<Rgb> ShowAndRead(Fl_Window &win, int x, int y, int w, int h)
{
    win.show();
    win.wait_for_expose();
    win.redraw();
    Fl::flush();
    win.make_current();
    std::vector<unsigned char> bytes(static_cast<size_t>(w) * h * 3);
    fl_read_image(bytes.data(), x, y, w, h);
    std::vector<Rgb> out;
    out.reserve(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < bytes.size(); i += 3)
        out.push_back({bytes[i], bytes[i + 1], bytes[i + 2]});
    return out;
}

void PrintTo(const Rgb &p, std::ostream *os) { *os << "(" << p.r << ", " << p.g << ", " << p.b << ")"; }

}  // namespace widget_test
