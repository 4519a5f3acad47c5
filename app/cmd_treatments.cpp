// cmd_treatments.cpp: the current treatment. Its selection from the
// "Traitements" menu, the current colour (chooser and R, G, B sliders), and
// the commands that preview it on the thumbnail or apply it to the image.

#include "app/commands.h"
#include "app/file_dialogs.h"
#include "processing/nearest.h"

namespace {

bool Takes(const mirlan::Operation *op, mirlan::ParamKind kind)
{
    for (int i = 0; op && i < op->count; ++i)
        if (op->params[i].kind == kind)
            return true;
    return false;
}

// A selection sets the name shown in "Traitement :", the treatment, and
// which parameter controls apply to it.
void Select(Fl_Widget *menu, const mirlan::Operation *op)
{
    CMirlanUI *ui = FromMenuBar(menu);
    ui->out_traitement->value(op ? op->label : "");
    ui->traitement = op;
    ui->activeColors(Takes(op, mirlan::ParamKind::kComponent));
    if (Takes(op, mirlan::ParamKind::kValue))
        ui->ct_valeur->activate();
    else
        ui->ct_valeur->deactivate();
}

unsigned char Component(const Fl_Value_Slider *slider)
{
    return static_cast<unsigned char>(TruncToInt(slider->value()));
}

void PaintColourButton(CMirlanUI *ui, unsigned char r, unsigned char g, unsigned char b)
{
    ui->bt_color->color(fl_rgb_color(r, g, b));
    ui->bt_color->redraw();
}

// A fresh thumbnail with the current treatment on it, its point scaled from
// the picture to the thumbnail; the picture is not touched.
void PreviewTreatment(CMirlanUI *ui)
{
    const CImage *img = ui->getImage();
    if (!img || !ui->traitement)
        return;
    WaitCursor wait;
    RunOrAlert(kChangeFailed, [ui, img] {
        double values[mirlan::kMaxParams];
        EditorValues(ui, *ui->traitement, values);
        std::unique_ptr<CImage> thumb(
            mirlan::ScaleNearest(*img, CImgPreviewBoxFL::kThumbWidth, CImgPreviewBoxFL::kThumbHeight));
        const float qx = float(thumb->width) / float(img->width), qy = float(thumb->height) / float(img->height);
        for (int i = 0, k = 0; i < ui->traitement->count; ++i)
            if (ui->traitement->params[i].kind == mirlan::ParamKind::kCoordinate)
                values[i] = TruncToInt(float(values[i]) * (k++ % 2 ? qy : qx));
        ui->traitement->run(thumb.get(), values);
        ui->showThumbnail(std::move(thumb));
        ui->treatmentPreviewed = true;
    });
}

void ApplyTreatment(CMirlanUI *ui)
{
    if (!ui->traitement)
        return;
    double values[mirlan::kMaxParams];
    EditorValues(ui, *ui->traitement, values);
    ApplyOperation(ui, *ui->traitement, values);
}

}  // namespace

void CMirlanUI::applyPending()
{
    const bool treatment = treatmentPreviewed;
    ApplyAdjustments(this);
    if (treatment)
        ApplyTreatment(this);
}

int (*color_chooser_dialog)(const char *, unsigned char &, unsigned char &,
                            unsigned char &) = ChooseColour;

void CMirlanUI::cb_treatment(Fl_Menu_ *o, void *op) { Select(o, static_cast<const mirlan::Operation *>(op)); }
void CMirlanUI::cb_Pas(Fl_Menu_ *o, void *) { Select(o, nullptr); }

// "Couleur courante": the chooser starts from the current colour; cancelling
// changes nothing.
void CMirlanUI::cb_bt_color(Fl_Button *o, void *)
{
    CMirlanUI *ui = FromPanel(o);
    unsigned char r = Component(ui->sl_R), g = Component(ui->sl_G), b = Component(ui->sl_B);
    if (!color_chooser_dialog("Couleur courante", r, g, b))
        return;
    ui->sl_R->value(r);
    ui->sl_G->value(g);
    ui->sl_B->value(b);
    PaintColourButton(ui, r, g, b);
}

// The three component sliders share one routine: the button shows the colour.
static void ComponentChanged(Fl_Widget *slider)
{
    CMirlanUI *ui = FromPanel(slider);
    PaintColourButton(ui, Component(ui->sl_R), Component(ui->sl_G), Component(ui->sl_B));
}

void CMirlanUI::cb_sl_R(Fl_Value_Slider *o, void *) { ComponentChanged(o); }
void CMirlanUI::cb_sl_G(Fl_Value_Slider *o, void *) { ComponentChanged(o); }
void CMirlanUI::cb_sl_B(Fl_Value_Slider *o, void *) { ComponentChanged(o); }

void CMirlanUI::cb_mnu_previewTraitement(Fl_Menu_ *o, void *) { PreviewTreatment(FromMenuBar(o)); }
void CMirlanUI::cb_bt_previewTraitement(Fl_Button *o, void *) { PreviewTreatment(FromPanel(o)); }
void CMirlanUI::cb_mnu_applyTraitement(Fl_Menu_ *o, void *) { ApplyTreatment(FromMenuBar(o)); }
void CMirlanUI::cb_bt_applyTraitement(Fl_Button *o, void *) { ApplyTreatment(FromPanel(o)); }
