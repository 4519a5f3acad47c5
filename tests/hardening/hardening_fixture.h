// hardening_fixture.h: the real application object built in-process for the
// hardening tests, with its dialogs answered by the test, a private folder
// for the files they write, and the consistency check of the whole window
// that every test applies after it has done its worst.
#ifndef MIRLAN_HARDENING_FIXTURE_H
#define MIRLAN_HARDENING_FIXTURE_H

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/commands.h"
#include "app/mirlan_ui.h"
#include "image/image.h"

namespace hardening {

extern const char kLoadFailed[];
extern const char kSaveFailed[];

// What the replaced dialogs saw and answer.
struct Dialogs {
    std::vector<std::string> alerts;
    std::string next_path;  // what the file chooser answers; empty: cancelled
};
Dialogs &Fake();

// True when the program runs under AddressSanitizer.
bool UnderSanitizer();

// Bytes of a file, and a file made of bytes.
std::vector<unsigned char> ReadFile(const std::string &path);
void WriteFile(const std::string &path, const std::vector<unsigned char> &bytes);

// A w × h image of the given depth whose bytes follow a pattern derived
// from seed, so that any misplaced or lost pixel shows.
CImage *PatternImage(int w, int h, int bpp, unsigned seed = 1);
bool SamePixels(const CImage &a, const CImage &b);

// Everything that must hold between the image and the window, whatever was
// done before: an empty list when the window is consistent.
std::vector<std::string> Inconsistencies(CMirlanUI &ui);

class HardeningTest : public ::testing::Test {
protected:
    CMirlanUI *ui = nullptr;
    std::string dir;

    void SetUp() override;
    void TearDown() override;

    std::string Path(const std::string &file) const { return dir + "/" + file; }
    // Opens path through the open command, as if chosen in the file chooser.
    void Open(const std::string &path);
    // Saves through "Bitmap BMP" or "Targa TGA" to path.
    void SaveBMP(const std::string &path);
    void SaveTGA(const std::string &path);
    // Picks a menu item the way a click does.
    void Pick(const Fl_Menu_Item *item) { ui->menuBar->picked(item); }
    std::string StatusText() const;
    // The window shows no image and offers nothing that needs one.
    void ExpectEmptyWindow();
    void ExpectConsistent();
};

}  // namespace hardening

#endif
