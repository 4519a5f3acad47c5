// cmd_adjust.cpp: the adjustment panel. Moving one of the six sliders
// previews the adjustments on the thumbnail; "Appliquer à l'image" (and its
// tool-bar button) applies them to the image; "Remise à zéro" resets them.
#include <initializer_list>

#include "app/commands.h"
#include "processing/ti.h"

namespace {

int Value(const Fl_Value_Slider *slider) { return TruncToInt(slider->value()); }

// The pending adjustments, in their fixed order, on img.
void ApplyAdjustments(const CMirlanUI *ui, CImage *img)
{
    CTi::Luminosite(img, Value(ui->sl_lum), Value(ui->sl_rouge), Value(ui->sl_vert),
                    Value(ui->sl_bleu));
    CTi::Contraste(img, Value(ui->sl_contraste));
    CTi::Saturation(img, Value(ui->sl_saturation));
}

void ZeroAdjustments(CMirlanUI *ui)
{
    for (Fl_Value_Slider *slider : {ui->sl_lum, ui->sl_rouge, ui->sl_vert, ui->sl_bleu,
                                    ui->sl_contraste, ui->sl_saturation})
        slider->value(0);
}

// A fresh thumbnail of the image with every pending adjustment on it; the
// image itself is not touched.
void PreviewAdjustments(CMirlanUI *ui)
{
    CImage *img = ui->getImage();
    if (!img)
        return;
    RunOrAlert(kChangeFailed, [ui, img] {
        ui->box_preview->SetImage(img);
        if (CImage *thumb = ui->box_preview->GetImage())
            ApplyAdjustments(ui, thumb);
    });
    ui->box_preview->redraw();
}

void ApplyToImage(CMirlanUI *ui)
{
    CImage *img = ui->getImage();
    if (!img)
        return;
    WaitCursor wait;
    ChangeOrAlert(ui, [ui, img] {
        ui->box_image->SaveUndo();
        ApplyAdjustments(ui, img);
        ZeroAdjustments(ui);
    });
}

}  // namespace

void CMirlanUI::cb_sl_lum(Fl_Value_Slider *o, void *) { PreviewAdjustments(FromPanel(o)); }
void CMirlanUI::cb_sl_rouge(Fl_Value_Slider *o, void *) { PreviewAdjustments(FromPanel(o)); }
void CMirlanUI::cb_sl_vert(Fl_Value_Slider *o, void *) { PreviewAdjustments(FromPanel(o)); }
void CMirlanUI::cb_sl_bleu(Fl_Value_Slider *o, void *) { PreviewAdjustments(FromPanel(o)); }
void CMirlanUI::cb_sl_contraste(Fl_Value_Slider *o, void *) { PreviewAdjustments(FromPanel(o)); }
void CMirlanUI::cb_sl_saturation(Fl_Value_Slider *o, void *) { PreviewAdjustments(FromPanel(o)); }

void CMirlanUI::cb_Appliquer(Fl_Menu_ *o, void *) { ApplyToImage(FromMenuBar(o)); }
void CMirlanUI::cb_bt_reglages(Fl_Button *o, void *) { ApplyToImage(FromPanel(o)); }

// "Remise à zéro": the thumbnail shows the image unadjusted again.
void CMirlanUI::cb_Remise(Fl_Menu_ *o, void *)
{
    CMirlanUI *ui = FromMenuBar(o);
    CImage *img = ui->getImage();
    if (!img)
        return;
    ZeroAdjustments(ui);
    ui->box_preview->SetImage(img);
    ui->box_preview->redraw();
}
