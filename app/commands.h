// commands.h: what the command files of the main window share: the modal
// dialogs, reached through replaceable hooks so that tests can answer them,
// the wait cursor, the centring of the secondary windows and the safe
// truncation of typed numbers.
#ifndef MIRLAN_COMMANDS_H
#define MIRLAN_COMMANDS_H

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include "app/mirlan_ui.h"

// The file chooser (ChooseFile by default): title, pattern, preset name,
// relative flag; returns the chosen path or null when the user cancels.
extern char *(*choose_file_dialog)(const char *title, const char *pattern, const char *fname,
                                   int relative);
// The alert box (fl_alert by default), given the finished message.
extern void (*alert_dialog)(const char *message);
// The question asked before a changed picture is dropped (fl_choice by
// default): returns 0 to cancel, 1 to save first, 2 to go on without saving.
extern int (*save_question_dialog)(const char *question);
// The colour chooser (ChooseColour by default): starts from r, g, b and
// writes the choice back; returns 0 when the user cancels.
extern int (*color_chooser_dialog)(const char *title, unsigned char &r, unsigned char &g,
                                   unsigned char &b);

// The open command: asks for a file ("Ouvrir image") and loads it into cvui;
// a cancelled chooser does nothing.
void choose_file();

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

// Moves win, at its own size, so that it is centred on owner (a negative
// position becomes 0), and shows it.
void ShowCentredOn(const Fl_Window *owner, Fl_Window *win);

// A widget value truncated toward zero to an int; values outside the int
// range saturate and NaN gives 0, so typed text can never overflow.
int TruncToInt(double value);

#endif
