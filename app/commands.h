// commands.h: what the command files of the main window share: the modal
// dialogs, reached through replaceable hooks so that tests can answer them,
// the wait cursor, the centring of the secondary windows and the safe
// truncation of typed numbers.
#ifndef MIRLAN_COMMANDS_H
#define MIRLAN_COMMANDS_H

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <new>

#include "app/mirlan_ui.h"
#include "processing/operations.h"

// The file chooser (ChooseFile by default): title, pattern, preset name,
// relative flag; returns the chosen path or null when the user cancels.
extern char *(*choose_file_dialog)(const char *title, const char *pattern, const char *fname,
                                   int relative);
// The alert box (fl_alert by default), given the finished message.
extern void (*alert_dialog)(const char *message);
// A question with up to three buttons (fl_choice by default): its title,
// its text and its buttons' labels (the last may be null); returns the
// number of the button chosen, 0 when the user closes it or presses Escape.
extern int (*question_dialog)(const char *title, const char *question, const char *b0, const char *b1,
                              const char *b2);
// The JPEG quality question (a small input box by default): proposes
// `proposed` and returns the quality chosen, 1 to 100, or 0 when the user
// cancels.
extern int (*jpeg_quality_dialog)(int proposed);
// The colour chooser (ChooseColour by default): starts from r, g, b and
// writes the choice back; returns 0 when the user cancels.
extern int (*color_chooser_dialog)(const char *title, unsigned char &r, unsigned char &g,
                                   unsigned char &b);

// The open command: asks for a file ("Ouvrir image") and loads it into ui;
// a cancelled chooser does nothing.
void choose_file(CMirlanUI *ui);

// The image view's callback: Ctrl+wheel zooms one menu step in or out
// around the mouse; a new size of the view's area moves the zoom's floor.
void ViewChanged(Fl_Widget *view, void *);
// Sets the zoom slider's minimum to the zoom's floor for the picture shown
// and the view's area: 20, or the zoom at which the whole picture fits
// when that is lower.
void FollowZoomFloor(CMirlanUI *ui);

// The application object behind an item of the main menu bar (one step below
// the window), or behind a widget of the left pane, the tool bar or the layer
// bar (three steps).
inline CMirlanUI *FromMenuBar(Fl_Widget *w) { return CMirlanUI::FromWidget(w, 1); }
inline CMirlanUI *FromPanel(Fl_Widget *w) { return CMirlanUI::FromWidget(w, 3); }

// Shows the wait cursor for the life of the object, so that every way out of
// a command puts the default cursor back.
class WaitCursor {
public:
    WaitCursor() { fl_cursor(FL_CURSOR_WAIT, FL_BLACK, FL_WHITE); }
    ~WaitCursor() { fl_cursor(FL_CURSOR_DEFAULT, FL_BLACK, FL_WHITE); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

// Short memory ends a command, not the program. Every allocation that a
// picture or a command sizes (an operation's new pixels, the copy a change
// runs on, the thumbnail, a save's buffers) reports failure only by
// throwing std::bad_alloc; catching it at the one place each command goes
// through keeps the engine free of error paths. It is enough because nothing
// is lost before the catch: the document's changes are transactions, and
// the thumbnail is built before the old one is dropped.

// The alert for a command that ran out of memory: its own failure text,
// then "Mémoire insuffisante.".
void AlertShortMemory(const char *failure);

// Failure text of the commands that change the image.
extern const char kChangeFailed[];

// Runs command; short of memory, the alert instead.
template <class Command>
void RunOrAlert(const char *failure, Command command)
{
    try {
        command();
    } catch (const std::bad_alloc &) {
        AlertShortMemory(failure);
    }
}

// Shows the document again after a change was taken back, the point at
// (x, y) where it was before.
void ShowTakenBack(CMirlanUI *ui, int x, int y);

// Runs change, which changes the document, then refreshes every view. Short
// of memory, the document is as it was and the alert tells why: a change
// that fails leaves it so, and takeBack undoes one whose refresh fails (if
// takeBack itself runs out of memory, the change stays).
template <class Change, class TakeBack>
void ChangeOrAlert(CMirlanUI *ui, Change change, TakeBack takeBack)
{
    WaitCursor wait;
    int x, y;
    ui->box_image->GetCurseur(&x, &y);
    RunOrAlert(kChangeFailed, [&] {
        bool changed = false;
        try {
            change();
            changed = true;
            ui->traiteImage();
        } catch (const std::bad_alloc &) {
            if (changed) {
                takeBack();
                ShowTakenBack(ui, x, y);
            }
            throw;
        }
    });
    ui->imageBits();
}

// The values the editor's controls give op's parameters: adjustment sliders,
// current colour, point, treatment value, typed sides.
void EditorValues(const CMirlanUI *ui, const mirlan::Operation &op, double *values);

// Runs op on the picture with values as a step of the history; the point
// moves with the picture.
void ApplyOperation(CMirlanUI *ui, const mirlan::Operation &op, const double *values);

// "Appliquer à l'image": the six adjustments as one step; the sliders go
// back to 0.
void ApplyAdjustments(CMirlanUI *ui);

// Moves win, at its own size, so that it is centred on owner (a negative
// position becomes 0), and shows it.
void ShowCentredOn(const Fl_Window *owner, Fl_Window *win);

// A widget value truncated toward zero to an int; values outside the int
// range saturate and NaN gives 0, so typed text can never overflow.
using mirlan::TruncToInt;

#endif
