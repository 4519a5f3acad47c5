// save_loses_nothing_test.cpp: saving through the real commands where no
// file can be created: the alert shows and nothing appears. Tests run as
// root, whom permissions do not stop, so the unwritable places are ones the
// kernel refuses to anyone: /proc and a path that goes through a regular
// file. (A full disk is tried on the real editor under a file-size limit.)
#include <gtest/gtest.h>

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

class SaveLosesNothing : public HardeningTest {
protected:
    using Save = void (SaveLosesNothing::*)(const std::string &);
    struct Format {
        const char *name;
        Save save;
    };
    const std::vector<Format> formats = {{"TGA", &SaveLosesNothing::SaveTGA},
                                         {"BMP", &SaveLosesNothing::SaveBMP}};

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
