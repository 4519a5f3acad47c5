// file_dialogs.h: the toolkit's dialogs made fit for Mirlan: a file chooser
// that never decodes the file the user points at and takes what the user
// types, and the toolkit's stock texts in French.
#ifndef MIRLAN_APP_FILE_DIALOGS_H
#define MIRLAN_APP_FILE_DIALOGS_H

#include <string>

// The path meant by text typed in a chooser showing folder: a path starting
// with '/' stands for itself, anything else is a name in folder.
std::string ResolveTypedPath(const std::string &folder, const std::string &typed);

// Asks for a file, modally, with the toolkit's chooser (preview off, the
// field read only when the user confirms it). Same arguments and result as
// fl_file_chooser: the chosen absolute path, valid until the next call, or
// null when the user cancels. It opens in the folder last chosen, or with a
// proposed path fname, in its folder with its name in the field.
char *ChooseFile(const char *title, const char *pattern, const char *fname, int relative);

// Asks for a colour, modally, starting from r, g, b, with the toolkit's
// colour chooser, its modes named in French. Same arguments and result as
// fl_color_chooser: the choice is written back and 1 returned, or 0 when the
// user cancels.
int ChooseColour(const char *title, unsigned char &r, unsigned char &g, unsigned char &b);

// Puts the labels of the toolkit's choosers, alerts, questions and colour
// chooser in French.
void SetFrenchToolkitTexts();

#endif
