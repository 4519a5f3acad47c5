// save_loses_nothing_test.cpp: saving through the real commands when the
// file cannot be written. On a full disk (a file-size limit, which makes
// every write past it fail as a full disk does) the alert shows and the
// file that was there keeps every byte; where no file can be created the
// alert shows and nothing appears. Tests run as root, whom permissions do
// not stop, so the unwritable places are ones the kernel refuses to anyone:
// /proc and a path that goes through a regular file.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "hardening_fixture.h"

namespace hardening {
namespace {

// Lowers this process's file-size limit for its lifetime, with SIGXFSZ
// ignored so that a write past it fails instead of ending the program.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = saved_;
        limited.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, previous_);
    }
    bool ok() const { return ok_; }

private:
    struct rlimit saved_;
    sighandler_t previous_;
    bool ok_;
};

class SaveLosesNothing : public HardeningTest {
protected:
    using Save = void (SaveLosesNothing::*)(const std::string &);
    struct Format {
        const char *name;
        Save save;
        size_t size;  // of the 300 × 200 colour picture in that format
    };
    const std::vector<Format> formats = {{"TGA", &SaveLosesNothing::SaveTGA, 18 + 300 * 200 * 3},
                                         {"BMP", &SaveLosesNothing::SaveBMP, 54 + 300 * 200 * 3}};

    void OpenPicture()
    {
        std::unique_ptr<CImage> img(PatternImage(300, 200, 24, 7));
        ASSERT_EQ(CImage::SaveTGA(img.get(), Path("picture.tga").c_str()), CImage::kOk);
        Open(Path("picture.tga"));
        ASSERT_NE(ui->getImage(), nullptr);
    }

    // After a save that must fail: one alert, the status line and the
    // histogram page still naming the file that was open.
    void ExpectFailedSave(const std::string &what)
    {
        SCOPED_TRACE(what);
        EXPECT_EQ(Fake().alerts, std::vector<std::string>{kSaveFailed});
        EXPECT_EQ(StatusText(), "picture.tga (300x200 24bpp)");
        EXPECT_EQ(std::string(ui->box_histos->GetImagePath()), Path("picture.tga"));
        ExpectConsistent();
        Fake().alerts.clear();
    }

    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto &e : std::filesystem::directory_iterator(dir))
            names.push_back(e.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(SaveLosesNothing, FullDiskShowsTheAlertAndKeepsTheOldFile)
{
    OpenPicture();
    const std::vector<unsigned char> old = {'p', 'r', 'e', 'c', 'i', 'o', 'u', 's', '\n'};
    for (const Format &f : formats) {
        // Room for the header only, for half the pixels, for all but the last byte.
        for (rlim_t room : {rlim_t(20), rlim_t(f.size / 2), rlim_t(f.size - 1)}) {
            const std::string target = Path(std::string("keep.") + f.name);
            WriteFile(target, old);
            {
                FileSizeLimit limit(room);
                ASSERT_TRUE(limit.ok());
                (this->*f.save)(target);
            }
            ExpectFailedSave(std::string(f.name) + " with room for " + std::to_string(room) + " bytes");
            EXPECT_EQ(ReadFile(target), old) << f.name;
            // No temporary file is left beside it.
            EXPECT_EQ(Entries(), (std::vector<std::string>{std::string("keep.") + f.name, "picture.tga"}));
            std::filesystem::remove(target);
        }
        // With exactly enough room the same save goes through.
        const std::string target = Path(std::string("fits.") + f.name);
        {
            FileSizeLimit limit(f.size);
            (this->*f.save)(target);
        }
        EXPECT_TRUE(Fake().alerts.empty()) << f.name;
        EXPECT_EQ(std::filesystem::file_size(target), f.size);
        EXPECT_EQ(StatusText(), std::string("fits.") + f.name + " (300x200 24bpp)");
        std::filesystem::remove(target);
        Open(Path("picture.tga"));
    }
}

TEST_F(SaveLosesNothing, UnwritablePlacesShowTheAlertAndCreateNothing)
{
    OpenPicture();
    WriteFile(Path("plain"), {1, 2, 3});
    ASSERT_TRUE(std::filesystem::create_directory(Path("folder.tga")));
    const std::vector<std::string> targets = {
        "/proc/mirlan_hardening.tga",      // the kernel's own file system
        "/proc/self/mirlan.bmp",
        Path("plain/inside.tga"),          // through a regular file
        Path("missing/folder/x.tga"),      // through a folder that does not exist
        Path("folder.tga"),                // a folder in the file's place
        Path(std::string(5000, 'n') + ".tga"),  // a name longer than the system takes
    };
    for (const std::string &target : targets) {
        for (const Format &f : formats) {
            (this->*f.save)(target);
            ExpectFailedSave(std::string(f.name) + " to " + target.substr(0, 80));
        }
    }
    EXPECT_FALSE(std::filesystem::exists("/proc/mirlan_hardening.tga"));
    EXPECT_TRUE(std::filesystem::is_directory(Path("folder.tga")));
    EXPECT_EQ(ReadFile(Path("plain")), (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(Entries(), (std::vector<std::string>{"folder.tga", "picture.tga", "plain"}));
}

TEST_F(SaveLosesNothing, FolderWithoutWritePermissionShowsTheAlert)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root writes whatever the permissions say";
    OpenPicture();
    const std::string locked = Path("locked");
    ASSERT_TRUE(std::filesystem::create_directory(locked));
    ASSERT_EQ(chmod(locked.c_str(), 0555), 0);
    for (const Format &f : formats) {
        (this->*f.save)(locked + "/x.img");
        ExpectFailedSave(f.name);
    }
    EXPECT_TRUE(std::filesystem::is_empty(locked));
}

}  // namespace
}  // namespace hardening
