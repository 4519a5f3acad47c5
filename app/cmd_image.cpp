// cmd_image.cpp: the commands of the "Image" menu that change the whole
// image: undo, the three colour modes, the rotations and mirror images, and
// the opening of the resize dialog.
#include "app/commands.h"
#include "processing/ti.h"

namespace {

enum class DepthRule { Kept, MayChange };

// The common shape of a changing command: undo copy, operation in place,
// refresh, and the grey or colour availability when the depth may change.
template <class Operation>
void ChangeImage(Fl_Widget *menu, DepthRule depth, Operation operation)
{
    CMirlanUI *ui = FromMenuBar(menu);
    CImage *img = ui->getImage();
    if (!img)
        return;
    WaitCursor wait;
    ChangeOrAlert(ui, [ui, img, operation] {
        ui->box_image->SaveUndo();
        operation(img);
    });
    if (depth == DepthRule::MayChange)
        ui->imageBits();
}

// Where a geometric command takes image pixel (c, r) of a W x H image, so
// that the point goes along with the picture.
struct Where {
    int c, r;
};
Where TurnedRight(int c, int r, int, int H) { return {H - 1 - r, c}; }
Where TurnedLeft(int c, int r, int W, int) { return {r, W - 1 - c}; }
Where HalfTurned(int c, int r, int W, int H) { return {W - 1 - c, H - 1 - r}; }
Where RowsReversed(int c, int r, int, int H) { return {c, H - 1 - r}; }
Where RowsMirrored(int c, int r, int W, int) { return {W - 1 - c, r}; }

// A geometric command: the image changes, and the point moves with it.
void MoveImage(Fl_Widget *menu, void (*operation)(CImage *), Where (*move)(int, int, int, int))
{
    CMirlanUI *ui = FromMenuBar(menu);
    CImage *img = ui->getImage();
    if (!img)
        return;
    int c, r;
    ui->box_image->GetCurseur(&c, &r);
    const Where to = move(c, r, img->width, img->height);
    ChangeImage(menu, DepthRule::Kept, [&](CImage *image) {
        operation(image);
        ui->box_image->SetCurseur(to.c, to.r);
    });
}

// Black and white: grey levels, then a fixed threshold at 5.
void BlackAndWhite(CImage *img)
{
    CTi::NiveauxGris(img);
    CTi::SeuillageFixe(img, 5.0f);
}

}  // namespace

// "Annuler action": one level; undoing twice gives the same image.
void CMirlanUI::cb_Annuler(Fl_Menu_ *o, void *)
{
    CMirlanUI *ui = FromMenuBar(o);
    if (!ui->getImage())
        return;
    WaitCursor wait;
    ChangeOrAlert(ui, [ui] { ui->box_image->Undo(); });
    ui->imageBits();
}

void CMirlanUI::cb_mnu_BW(Fl_Menu_ *o, void *) { ChangeImage(o, DepthRule::MayChange, BlackAndWhite); }
void CMirlanUI::cb_mnu_NG(Fl_Menu_ *o, void *) { ChangeImage(o, DepthRule::MayChange, CTi::NiveauxGris); }
void CMirlanUI::cb_mnu_RVB(Fl_Menu_ *o, void *) { ChangeImage(o, DepthRule::MayChange, CTi::CouleursRVB); }
void CMirlanUI::cb_180(Fl_Menu_ *o, void *) { MoveImage(o, CTi::Rot180, HalfTurned); }
void CMirlanUI::cb_90(Fl_Menu_ *o, void *) { MoveImage(o, CTi::Rot90h, TurnedRight); }
void CMirlanUI::cb_9(Fl_Menu_ *o, void *) { MoveImage(o, CTi::Rot90a, TurnedLeft); }
void CMirlanUI::cb_Sym(Fl_Menu_ *o, void *) { MoveImage(o, CTi::SymetrieV, RowsReversed); }
void CMirlanUI::cb_Sym1(Fl_Menu_ *o, void *) { MoveImage(o, CTi::SymetrieH, RowsMirrored); }

// "Taille de l'image...": the dialog opens centred on the main window with
// the image's current size in its two fields.
void CMirlanUI::cb_Taille(Fl_Menu_ *o, void *)
{
    CMirlanUI *ui = FromMenuBar(o);
    CImage *img = ui->getImage();
    if (!img)
        return;
    ShowCentredOn(ui->win_main, ui->win_taille);
    ui->in_largeur->value(img->width);
    ui->in_hauteur->value(img->height);
}
