// cmd_adjust.cpp: the adjustment panel. Moving one of the six sliders
// previews the adjustments on the thumbnail; "Appliquer à l'image" (and its
// tool-bar button) applies them to the picture as one step; "Remise à zéro"
// resets them.
#include "app/commands.h"

std::array<Fl_Value_Slider *, 6> CMirlanUI::adjustmentSliders() const
{
    return {sl_lum, sl_rouge, sl_vert, sl_bleu, sl_contraste, sl_saturation};
}

namespace {

void ZeroAdjustments(CMirlanUI *ui)
{
    for (Fl_Value_Slider *slider : ui->adjustmentSliders())
        slider->value(0);
}

// A fresh thumbnail with every pending adjustment on it; the picture itself
// is not touched.
void PreviewAdjustments(CMirlanUI *ui)
{
    RunOrAlert(kChangeFailed, [ui] { ui->showThumbnail(); });
}

}  // namespace

// The sliders go back to 0 once their values are on the picture, so the
// refreshed thumbnail shows it unadjusted; they keep them when it fails.
void ApplyAdjustments(CMirlanUI *ui)
{
    if (!ui->getImage())
        return;
    const mirlan::Operation &adjustments = *mirlan::FindOperation("reglages");
    double values[mirlan::kMaxParams];
    EditorValues(ui, adjustments, values);
    ChangeOrAlert(
        ui,
        [ui, &adjustments, &values] {
            ui->doc.Apply(adjustments, values);
            ZeroAdjustments(ui);
        },
        [ui, &values] {
            ui->doc.TakeBack();
            for (int i = 0; i < 6; ++i)
                ui->adjustmentSliders()[i]->value(values[i]);
        });
}

void CMirlanUI::cb_sl_lum(Fl_Value_Slider *o, void *) { PreviewAdjustments(FromPanel(o)); }
void CMirlanUI::cb_sl_rouge(Fl_Value_Slider *o, void *) { PreviewAdjustments(FromPanel(o)); }
void CMirlanUI::cb_sl_vert(Fl_Value_Slider *o, void *) { PreviewAdjustments(FromPanel(o)); }
void CMirlanUI::cb_sl_bleu(Fl_Value_Slider *o, void *) { PreviewAdjustments(FromPanel(o)); }
void CMirlanUI::cb_sl_contraste(Fl_Value_Slider *o, void *) { PreviewAdjustments(FromPanel(o)); }
void CMirlanUI::cb_sl_saturation(Fl_Value_Slider *o, void *) { PreviewAdjustments(FromPanel(o)); }

void CMirlanUI::cb_Appliquer(Fl_Menu_ *o, void *) { ApplyAdjustments(FromMenuBar(o)); }
void CMirlanUI::cb_bt_reglages(Fl_Button *o, void *) { ApplyAdjustments(FromPanel(o)); }

// "Remise à zéro": the thumbnail shows the image unadjusted again.
void CMirlanUI::cb_Remise(Fl_Menu_ *o, void *)
{
    CMirlanUI *ui = FromMenuBar(o);
    if (!ui->getImage())
        return;
    ZeroAdjustments(ui);
    PreviewAdjustments(ui);
}
