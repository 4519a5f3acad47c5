// main.cpp: Mirlan's entry point. The application object, with all its
// windows hidden, exists before main runs; main shows the main window and
// runs the toolkit's event loop until no window is shown.
#include <FL/Fl.H>
#include <FL/Fl_Shared_Image.H>

#include <signal.h>

#include "app/file_dialogs.h"
#include "app/mirlan_ui.h"

// Built during static initialisation, after the icons it installs.
static const bool created = (cvui = new CMirlanUI, true);

int main(int argc, char **argv)
{
    (void)created;
    // A file-size limit then fails a save like a full disk, with an alert,
    // instead of ending the program and losing the picture.
    signal(SIGXFSZ, SIG_IGN);
    SetFrenchToolkitTexts();
    fl_register_images();
    Fl::visual(FL_DOUBLE);
    cvui->show(argc, argv);
    return Fl::run();
}
