// cmd_view.cpp: the zoom commands (the slider, "Agrandir", "Réduire",
// "Taille écran", "Taille réelle", Ctrl+wheel), the zoom's floor that the
// picture and the window set, the switch to the histogram page and the four
// layer toggles of that page.
#include "app/commands.h"

#include <algorithm>

namespace {

const int kZoomMin = 20;
const int kZoomMax = 300;
const int kZoomStep = 10;

// Sets the slider to percent and zooms the view to the slider's value.
void ZoomTo(CMirlanUI *ui, int percent)
{
    ui->sl_zoom->value(percent);
    ui->box_image->Zoom(TruncToInt(ui->sl_zoom->value()));
    ui->grp_image->redraw();
}

int SliderZoom(CMirlanUI *ui) { return TruncToInt(ui->sl_zoom->value()); }

// The largest whole percent, less one, at which the image fits the view's
// area in both directions, from 1 to the zoom's maximum.
int FitPercent(const Fl_Widget *area, const CImage *img)
{
    float rw = float(area->w()) / float(img->width);
    float rh = float(area->h()) / float(img->height);
    float ratio = rw < rh ? rw : rh;
    return std::clamp(TruncToInt(ratio * 100.0f) - 1, 1, kZoomMax);
}

// How far zooming out goes: 20 %, or lower when the whole picture needs it.
int ZoomFloor(CMirlanUI *ui)
{
    const CImage *img = ui->box_image->GetImage();
    return img ? std::min(kZoomMin, FitPercent(ui->scroll_image, img)) : kZoomMin;
}

// The zoom one step in (steps < 0) or out from z, as the menu's commands
// take it: in, z itself when a step would pass the maximum; out, down to
// the floor and no further.
int SteppedZoom(CMirlanUI *ui, int z, int steps)
{
    if (steps < 0)
        return z <= kZoomMax - kZoomStep ? z + kZoomStep : z;
    const int floor = ZoomFloor(ui);
    return z > floor ? std::max(z - kZoomStep, floor) : z;
}

// Shows or hides one layer of the histogram page by its item's check mark.
void ToggleLayer(Fl_Widget *bar, int layer, const Fl_Menu_Item *item)
{
    CMirlanUI *ui = FromPanel(bar);
    ui->box_histos->SetAff(layer, item->flags & FL_MENU_VALUE);
    ui->scroll_histos->redraw();
}

}  // namespace

void FollowZoomFloor(CMirlanUI *ui)
{
    ui->sl_zoom->minimum(ZoomFloor(ui));
    ui->sl_zoom->redraw();
}

// Runs when the slider is released.
void CMirlanUI::cb_sl_zoom(Fl_Value_Slider *o, void *)
{
    CMirlanUI *ui = FromPanel(o);
    if (!ui->getImage())
        return;
    WaitCursor wait;
    ZoomTo(ui, SliderZoom(ui));
}

void CMirlanUI::cb_Agrandir(Fl_Menu_ *o, void *)
{
    CMirlanUI *ui = FromMenuBar(o);
    if (!ui->getImage())
        return;
    WaitCursor wait;
    int z = SliderZoom(ui);
    if (SteppedZoom(ui, z, -1) != z)
        ZoomTo(ui, SteppedZoom(ui, z, -1));
}

void CMirlanUI::cb_R(Fl_Menu_ *o, void *)
{
    CMirlanUI *ui = FromMenuBar(o);
    if (!ui->getImage())
        return;
    WaitCursor wait;
    int z = SliderZoom(ui);
    if (SteppedZoom(ui, z, 1) != z)
        ZoomTo(ui, SteppedZoom(ui, z, 1));
}

// The image view's callback: a new size of the area moves the zoom's floor;
// Ctrl+wheel over the image zooms one menu step in or out, around the mouse.
void ViewChanged(Fl_Widget *view, void *)
{
    CMirlanUI *ui = static_cast<CMirlanUI *>(view->window()->user_data());
    CImageBoxFL *box = ui->box_image;
    FollowZoomFloor(ui);
    if (!ui->getImage() || !ui->sl_zoom->active() || box->WheelSteps() == 0)
        return;
    const int z = SliderZoom(ui);
    const int to = SteppedZoom(ui, z, box->WheelSteps());
    if (to == z)
        return;
    ui->sl_zoom->value(to);
    box->ZoomAround(to, Fl::event_x(), Fl::event_y());
    ui->grp_image->redraw();
}

// "Taille écran": always zooms, even to the same value.
void CMirlanUI::cb_Taill(Fl_Menu_ *o, void *)
{
    CMirlanUI *ui = FromMenuBar(o);
    const CImage *img = ui->getImage();
    if (!img)
        return;
    WaitCursor wait;
    ZoomTo(ui, FitPercent(ui->scroll_image, img));
}

// "Taille réelle".
void CMirlanUI::cb_Taille1(Fl_Menu_ *o, void *)
{
    CMirlanUI *ui = FromMenuBar(o);
    if (!ui->getImage())
        return;
    WaitCursor wait;
    if (SliderZoom(ui) != 100)
        ZoomTo(ui, 100);
}

// Brings up the histogram page; the histograms are always up to date.
void CMirlanUI::cb_Histogrammes(Fl_Menu_ *o, void *)
{
    CMirlanUI *ui = FromMenuBar(o);
    ui->tabs_main->value(ui->grp_histos);
}

void CMirlanUI::cb_rb_lum(Fl_Menu_ *o, void *) { ToggleLayer(o, 0, rb_lum); }
void CMirlanUI::cb_rb_rouge(Fl_Menu_ *o, void *) { ToggleLayer(o, 1, rb_rouge); }
void CMirlanUI::cb_rb_vert(Fl_Menu_ *o, void *) { ToggleLayer(o, 2, rb_vert); }
void CMirlanUI::cb_rb_bleu(Fl_Menu_ *o, void *) { ToggleLayer(o, 3, rb_bleu); }
