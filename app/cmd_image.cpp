// cmd_image.cpp: the commands that change the whole picture: the operations
// of the "Image" menu (rows of the table of operations, whose values the
// editor's controls give), undo and redo through the history, and the
// opening of the resize dialog.
#include "app/commands.h"

namespace {

using mirlan::Operation;
using mirlan::ParamKind;

// The point carried by move, when the picture is w x h.
void CarryPoint(CMirlanUI *ui, void (*move)(int *, int *, int, int), int w, int h)
{
    int x, y;
    ui->box_image->GetCurseur(&x, &y);
    move(&x, &y, w, h);
    ui->box_image->ImageChanged(ui->getImage());
    ui->box_image->SetCurseur(x, y);
}

// One step back or forward, the point going back or along with a turn.
void StepHistory(CMirlanUI *ui, bool back)
{
    const Operation *op = back ? ui->doc.NextUndo() : ui->doc.NextRedo();
    if (!op)
        return;
    const Operation *move = back ? mirlan::InverseOf(*op) : op;
    const int w = ui->getImage()->width, h = ui->getImage()->height;
    ChangeOrAlert(
        ui,
        [ui, back, move, w, h] {
            back ? ui->doc.Undo() : ui->doc.Redo();
            if (move && move->carry)
                CarryPoint(ui, move->carry, w, h);
        },
        [ui, back] { back ? ui->doc.Redo() : ui->doc.Undo(); });
}

}  // namespace

void EditorValues(const CMirlanUI *ui, const Operation &op, double *values)
{
    const auto gains = ui->adjustmentSliders();
    const Fl_Valuator *const colour[] = {ui->sl_R, ui->sl_G, ui->sl_B};
    const Fl_Valuator *const sides[] = {ui->in_largeur, ui->in_hauteur};
    int point[2];
    ui->box_image->GetCurseur(&point[0], &point[1]);
    int seen[5] = {};  // parameters of each kind so far
    for (int i = 0; i < op.count; ++i) {
        const int k = seen[static_cast<int>(op.params[i].kind)]++;
        switch (op.params[i].kind) {
        case ParamKind::kGain: values[i] = TruncToInt(gains[k % 6]->value()); break;
        case ParamKind::kComponent: values[i] = TruncToInt(colour[k % 3]->value()); break;
        case ParamKind::kCoordinate: values[i] = point[k % 2]; break;
        case ParamKind::kValue: values[i] = float(ui->ct_valeur->value()); break;
        case ParamKind::kSide: values[i] = TruncToInt(sides[k % 2]->value()); break;
        }
    }
}

void ApplyOperation(CMirlanUI *ui, const Operation &op, const double *values)
{
    const CImage *img = ui->getImage();
    if (!img)
        return;
    const int w = img->width, h = img->height;
    ChangeOrAlert(
        ui,
        [ui, &op, values, w, h] {
            ui->doc.Apply(op, values);
            if (op.carry)
                CarryPoint(ui, op.carry, w, h);
        },
        [ui] { ui->doc.TakeBack(); });
}

void ShowTakenBack(CMirlanUI *ui, int x, int y)
{
    ui->box_image->ImageChanged(ui->getImage());
    ui->box_image->SetCurseur(x, y);
    ui->traiteImage();
}

void CMirlanUI::cb_operation(Fl_Menu_ *o, void *data)
{
    const Operation &op = *static_cast<const Operation *>(data);
    CMirlanUI *ui = FromMenuBar(o);
    double values[mirlan::kMaxParams];
    EditorValues(ui, op, values);
    ApplyOperation(ui, op, values);
}

// "Annuler" and "Rétablir": every step since the picture was opened.
void CMirlanUI::cb_Annuler(Fl_Menu_ *o, void *) { StepHistory(FromMenuBar(o), true); }
void CMirlanUI::cb_Retablir(Fl_Menu_ *o, void *) { StepHistory(FromMenuBar(o), false); }

// "Taille de l'image...": the dialog opens centred on the main window with
// the image's current size in its two fields.
void CMirlanUI::cb_Taille(Fl_Menu_ *o, void *)
{
    CMirlanUI *ui = FromMenuBar(o);
    const CImage *img = ui->getImage();
    if (!img)
        return;
    ShowCentredOn(ui->win_main, ui->win_taille);
    ui->in_largeur->value(img->width);
    ui->in_hauteur->value(img->height);
}
