// cmd_treatments.cpp: the current treatment. Its selection from the
// "Traitements" menu, the current colour (chooser and R, G, B sliders), and
// the commands that preview it on the thumbnail or apply it to the image.

#include "app/commands.h"
#include "app/file_dialogs.h"
#include "processing/ti.h"

namespace {

// What a selection sets: the name shown in "Traitement :", the treatment id,
// and which parameter controls apply to it.
struct Treatment {
    const char *text;
    int id;
    bool uses_colour;
    bool uses_value;
};

const Treatment kNone = {"", 0, false, false};
const Treatment kNegatif = {"Négatif", 1, false, false};
const Treatment kDistance4 = {"Distance (4 connexité) fond/point", 2, true, true};
const Treatment kDistance8 = {"Distance (8 connexité) fond/point", 3, true, true};
const Treatment kDentsDeScie = {"Dents de scie", 4, false, false};
const Treatment kSeuillageAl = {"Seuillage aléatoire", 5, false, false};
const Treatment kSeuillageFixe = {"Seuillage fixe", 6, false, true};
const Treatment kEgalisation = {"Egalisation d'histogramme", 7, false, false};
const Treatment kEtirement = {"Etirement d'histogramme", 8, false, false};

void Select(Fl_Widget *menu, const Treatment &t)
{
    CMirlanUI *ui = FromMenuBar(menu);
    ui->out_traitement->value(t.text);
    ui->traitement = t.id;
    ui->activeColors(t.uses_colour);
    if (t.uses_value)
        ui->ct_valeur->activate();
    else
        ui->ct_valeur->deactivate();
}

unsigned char Component(const Fl_Value_Slider *slider)
{
    return static_cast<unsigned char>(TruncToInt(slider->value()));
}

sRGB CurrentColour(const CMirlanUI *ui)
{
    return sRGB{TruncToInt(ui->sl_R->value()), TruncToInt(ui->sl_G->value()),
                TruncToInt(ui->sl_B->value())};
}

void PaintColourButton(CMirlanUI *ui, unsigned char r, unsigned char g, unsigned char b)
{
    ui->bt_color->color(fl_rgb_color(r, g, b));
    ui->bt_color->redraw();
}

float TreatmentValue(const CMirlanUI *ui) { return float(ui->ct_valeur->value()); }

// A fresh thumbnail of img with the current treatment on it.
void TreatThumbnail(CMirlanUI *ui, CImage *img)
{
    sRGB colour = CurrentColour(ui);
    int x, y;
    ui->box_image->GetCurseur(&x, &y);
    ui->box_preview->SetImage(img);
    CImage *thumb = ui->box_preview->GetImage();
    if (!thumb)
        return;
    float qx = float(thumb->width) / float(img->width);
    float qy = float(thumb->height) / float(img->height);
    CTi::Traitement(thumb, ui->traitement, colour, TruncToInt(x * qx), TruncToInt(y * qy),
                    TreatmentValue(ui));
}

// The current treatment on a fresh thumbnail, its point scaled from the
// image to the thumbnail; the image and the undo copy are not touched.
void PreviewTreatment(CMirlanUI *ui)
{
    CImage *img = ui->getImage();
    if (!img)
        return;
    WaitCursor wait;
    RunOrAlert(kChangeFailed, [ui, img] { TreatThumbnail(ui, img); });
    ui->box_preview->redraw();
}

void ApplyTreatment(CMirlanUI *ui)
{
    CImage *img = ui->getImage();
    if (!img)
        return;
    WaitCursor wait;
    ChangeOrAlert(ui, [ui, img] {
        ui->box_image->SaveUndo();
        sRGB colour = CurrentColour(ui);
        int x, y;
        ui->box_image->GetCurseur(&x, &y);
        CTi::Traitement(img, ui->traitement, colour, x, y, TreatmentValue(ui));
    });
}

}  // namespace

int (*color_chooser_dialog)(const char *, unsigned char &, unsigned char &,
                            unsigned char &) = ChooseColour;

void CMirlanUI::cb_Egalisation(Fl_Menu_ *o, void *) { Select(o, kEgalisation); }
void CMirlanUI::cb_Etirement(Fl_Menu_ *o, void *) { Select(o, kEtirement); }
void CMirlanUI::cb_Distance(Fl_Menu_ *o, void *) { Select(o, kDistance4); }
void CMirlanUI::cb_Distance1(Fl_Menu_ *o, void *) { Select(o, kDistance8); }
void CMirlanUI::cb_N(Fl_Menu_ *o, void *) { Select(o, kNegatif); }
void CMirlanUI::cb_Dents(Fl_Menu_ *o, void *) { Select(o, kDentsDeScie); }
void CMirlanUI::cb_Seuillage(Fl_Menu_ *o, void *) { Select(o, kSeuillageFixe); }
void CMirlanUI::cb_Seuillage1(Fl_Menu_ *o, void *) { Select(o, kSeuillageAl); }
void CMirlanUI::cb_Pas(Fl_Menu_ *o, void *) { Select(o, kNone); }

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
