// widget_test_util.h: what the file readers' tests share: a private temp
// folder, the image view's alerts captured, and BMP files built field by
// field.
#ifndef MIRLAN_WIDGET_TEST_UTIL_H
#define MIRLAN_WIDGET_TEST_UTIL_H

#include <gtest/gtest.h>  // before the toolkit, whose X11 macros clash with it

#include <FL/Fl_Shared_Image.H>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image/image.h"
#include "widgets/CImageBoxFL.h"

namespace widget_test {

class TempDir {
public:
    ~TempDir() { std::filesystem::remove_all(dir_); }
    std::string Path(const std::string &name) const { return dir_ + "/" + name; }
    std::string Write(const std::string &name, const std::vector<unsigned char> &bytes) const
    {
        std::ofstream(Path(name), std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()), bytes.size());
        return Path(name);
    }

private:
    char pattern_[32] = "/tmp/mirlan-widgets-XXXXXX";
    std::string dir_ = mkdtemp(pattern_);
};

inline std::vector<std::string> &Alerts()
{
    static std::vector<std::string> alerts;
    return alerts;
}

// The alerts the image view has shown since the last call.
inline std::vector<std::string> TakeAlerts()
{
    std::vector<std::string> out;
    out.swap(Alerts());
    return out;
}

class ReaderEnvironment : public ::testing::Environment {
    void SetUp() override
    {
        fl_register_images();
        CImageBoxFL::alert_function = [](const char *message) { Alerts().push_back(message); };
    }
};
inline ::testing::Environment *const kEnvironment = ::testing::AddGlobalTestEnvironment(new ReaderEnvironment);

// A Windows BMP file whose header fields are given as is (so that they may
// lie), then palette and pixel bytes.
struct BmpFields {
    long width = 1, height = 1;
    int planes = 1, bpp = 24;
    unsigned long compression = 0, colours = 0;
    long offBits = -1;  // -1: right after the headers and palette
};
inline std::vector<unsigned char> MakeBmp(const BmpFields &f, const std::vector<unsigned char> &palette,
                                          const std::vector<unsigned char> &pixels)
{
    const unsigned long off = f.offBits >= 0 ? f.offBits : 54 + palette.size(), size = pixels.size();
    const unsigned long fields[] = {off + size, 0, off, 40, (unsigned long)f.width, (unsigned long)f.height,
                                    (unsigned long)f.planes, (unsigned long)f.bpp, f.compression, size, 2835,
                                    2835, f.colours, 0};
    std::vector<unsigned char> out = {'B', 'M'};
    for (int i = 0; i < 14; ++i)
        for (int byte = 0; byte < (i == 6 || i == 7 ? 2 : 4); ++byte)
            out.push_back(static_cast<unsigned char>(fields[i] >> (8 * byte)));
    out.insert(out.end(), palette.begin(), palette.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

}  // namespace widget_test

#endif
