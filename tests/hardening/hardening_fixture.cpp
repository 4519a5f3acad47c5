// hardening_fixture.cpp: the in-process application for the hardening tests
// and the check that the window agrees with its image.
#include "hardening_fixture.h"

#include <FL/Fl.H>
#include <FL/Fl_Shared_Image.H>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <unistd.h>

#include "app_lifetime.h"
#include "processing/histogramme.h"

#if defined(__SANITIZE_ADDRESS__)
#define MIRLAN_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MIRLAN_UNDER_ASAN 1
#endif
#endif

namespace hardening {

const char kLoadFailed[] = "Impossible de charger cette image !\nFormat invalide.";
const char kSaveFailed[] = "Erreur lors de l'enregistrement de l'image !";

namespace {

const int kOffScreen = 6000;

char *FakeChooser(const char *, const char *, const char *, int)
{
    static char answer[4096];
    if (Fake().next_path.empty())
        return nullptr;
    std::snprintf(answer, sizeof answer, "%s", Fake().next_path.c_str());
    return answer;
}

void FakeAlert(const char *message) { Fake().alerts.push_back(message); }

int RefuseColour(const char *, unsigned char &, unsigned char &, unsigned char &) { return 0; }

// Collects what is wrong, with a readable description.
class Findings {
public:
    void Require(bool ok, const std::string &what)
    {
        if (!ok)
            list_.push_back(what);
    }
    std::vector<std::string> Take() { return std::move(list_); }

private:
    std::vector<std::string> list_;
};

std::string Describe(const char *what, const CImage *img)
{
    std::ostringstream s;
    s << what << " ";
    if (img)
        s << img->width << "x" << img->height << "x" << int(img->bpp);
    else
        s << "null";
    return s.str();
}

bool MenuActive(const Fl_Menu_Item *item) { return !(item->flags & FL_MENU_INACTIVE); }

void CheckEmpty(CMirlanUI &ui, Findings &f)
{
    f.Require(ui.box_image->w() == 0 && ui.box_image->h() == 0, "empty view is not 0 x 0");
    f.Require(!ui.box_image->GetImage(), "empty view keeps an image");
    f.Require(!ui.box_preview->GetImage(), "empty window keeps a thumbnail");
    f.Require(std::strcmp(ui.infos, " ") == 0, std::string("empty window's status is '") + ui.infos + "'");
    for (const Fl_Menu_Item *item : {CMirlanUI::mnu_image, CMirlanUI::mnu_saveas, CMirlanUI::mnu_close,
                                     CMirlanUI::mnu_affichage, CMirlanUI::mnu_previewTraitement,
                                     CMirlanUI::mnu_applyTraitement, CMirlanUI::rb_lum, CMirlanUI::rb_bleu})
        f.Require(!MenuActive(item), std::string("menu item active with no image: ") + item->label());
    for (Fl_Widget *w : {(Fl_Widget *)ui.bt_bmp, (Fl_Widget *)ui.bt_tga, (Fl_Widget *)ui.bt_reglages,
                         (Fl_Widget *)ui.bt_applyTraitement, (Fl_Widget *)ui.sl_zoom, (Fl_Widget *)ui.sl_lum,
                         (Fl_Widget *)ui.sl_saturation})
        f.Require(!w->active(), std::string("control active with no image: ") + (w->label() ? w->label() : "?"));
    f.Require(ui.sl_zoom->value() == 100 && ui.sl_lum->value() == 0 && ui.sl_contraste->value() == 0,
              "sliders not reset with no image");
}

void CheckLoaded(CMirlanUI &ui, const CImage &img, Findings &f)
{
    const CImageBoxFL &view = *ui.box_image;
    f.Require(img.data && img.width >= 1 && img.height >= 1, Describe("unusable image", &img));
    if (!img.data)
        return;
    const double zoom = view.GetZoom();
    const int W = std::max(1, int(zoom * img.width)), H = std::max(1, int(zoom * img.height));
    f.Require(view.w() == W && view.h() == H,
              "view of " + std::to_string(view.w()) + "x" + std::to_string(view.h()) + " for " +
                  Describe("image", &img) + " at zoom " + std::to_string(zoom));
    f.Require(int(ui.sl_zoom->value()) == view.GetZoomPercent(), "zoom slider differs from the view's zoom");

    const CImage *thumb = ui.box_preview->GetImage();
    f.Require(thumb && thumb->width == 159 && thumb->height == 120 && thumb->bpp == img.bpp,
              Describe("thumbnail", thumb));

    const CHistogramme *histo = ui.box_histos->GetHistogramme();
    long long counted = 0;
    if (histo)
        for (int v = 0; v < 256; ++v)
            counted += histo->histos[0][v];
    f.Require(counted == (long long)img.width * img.height, "histograms are not those of the image");

    // The whole text, or the name shortened in its middle before the size.
    const char *path = ui.box_histos->GetImagePath();
    const std::string size = " (" + std::to_string(img.width) + "x" + std::to_string(img.height) + " " +
                             std::to_string(img.bpp) + "bpp)";
    const std::string expected = (path ? name(path) : "") + size, status = ui.infos;
    const bool shortened = status.find("…") != std::string::npos && status.size() >= size.size() &&
                           status.compare(status.size() - size.size(), size.size(), size) == 0;
    f.Require(status == expected || shortened, "status '" + status + "' instead of '" + expected + "'");

    const bool colour = img.bpp != 8;
    for (const Fl_Menu_Item *item : {CMirlanUI::mnu_image, CMirlanUI::mnu_saveas, CMirlanUI::mnu_close,
                                     CMirlanUI::mnu_affichage, CMirlanUI::rb_lum})
        f.Require(MenuActive(item), std::string("menu item inactive with an image: ") + item->label());
    f.Require(MenuActive(CMirlanUI::mnu_NG) == colour, "grey-levels item does not follow the depth");
    f.Require(MenuActive(CMirlanUI::mnu_RVB) == !colour, "colour item does not follow the depth");
    f.Require(ui.sl_rouge->active() == colour && ui.sl_saturation->active() == colour,
              "colour sliders do not follow the depth");
    f.Require(ui.sl_lum->active() && ui.sl_zoom->active() && ui.bt_bmp->active(), "controls off with an image");
}

}  // namespace

Dialogs &Fake()
{
    static Dialogs dialogs;
    return dialogs;
}

bool UnderSanitizer()
{
#ifdef MIRLAN_UNDER_ASAN
    return true;
#else
    return false;
#endif
}

std::vector<unsigned char> ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string &path, const std::vector<unsigned char> &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

CImage *PatternImage(int w, int h, int bpp, unsigned seed)
{
    CImage *img = new CImage(w, h, bpp);
    const size_t n = img->ByteCount();
    for (size_t i = 0; i < n; ++i)
        img->data[i] = static_cast<unsigned char>((i * 37 + (i / 3) * 11 + i / 997 + seed * 101) & 255);
    return img;
}

bool SamePixels(const CImage &a, const CImage &b)
{
    return a.width == b.width && a.height == b.height && a.bpp == b.bpp &&
           (a.ByteCount() == 0 || std::memcmp(a.data, b.data, a.ByteCount()) == 0);
}

std::vector<std::string> Inconsistencies(CMirlanUI &ui)
{
    Findings f;
    const CImage *img = ui.getImage();
    if (img)
        CheckLoaded(ui, *img, f);
    else
        CheckEmpty(ui, f);
    return f.Take();
}

void HardeningTest::SetUp()
{
    fl_register_images();
    Fake() = Dialogs();
    choose_file_dialog = FakeChooser;
    alert_dialog = FakeAlert;
    color_chooser_dialog = RefuseColour;
    // Dropping a changed picture goes on without saving.
    save_question_dialog = [](const char *) { return 2; };
    CImageBoxFL::alert_function = FakeAlert;
    // In memory when possible: the savers flush every file they write.
    const bool shm = access("/dev/shm", W_OK) == 0;
    std::string pattern = std::string(shm ? "/dev/shm" : "/tmp") + "/mirlan_hardening_XXXXXX";
    ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
    dir = pattern;
    ui = new CMirlanUI();
    cvui = ui;
    // Shown, so that the toolkit draws every state, but beyond the screen's
    // edge, where neither it nor the dialogs centred on it cover the
    // windows that other test programs read back at the same time.
    // The toolkit puts a window on the screen when it maps it; moving it
    // afterwards is honoured.
    ui->win_main->show();
    ui->win_main->position(kOffScreen, kOffScreen);
    Fl::check();
}

void HardeningTest::TearDown()
{
    DestroyApplication(ui);
    std::error_code ignored;
    std::filesystem::permissions(dir, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(dir, ignored);
}

void HardeningTest::Open(const std::string &path)
{
    Fake().next_path = path;
    Pick(CMirlanUI::mnu_open);
    Fake().next_path.clear();
}

void HardeningTest::SaveBMP(const std::string &path)
{
    Fake().next_path = path;
    ui->bt_bmp->do_callback();
    Fake().next_path.clear();
}

void HardeningTest::SaveTGA(const std::string &path)
{
    Fake().next_path = path;
    ui->bt_tga->do_callback();
    Fake().next_path.clear();
}

std::string HardeningTest::StatusText() const { return ui->infos; }

void HardeningTest::ExpectEmptyWindow()
{
    EXPECT_EQ(ui->getImage(), nullptr);
    ExpectConsistent();
}

void HardeningTest::ExpectConsistent()
{
    for (const std::string &problem : Inconsistencies(*ui))
        ADD_FAILURE() << problem;
}

}  // namespace hardening
