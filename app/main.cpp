// main.cpp: Mirlan's entry point. main answers --help and --version
// without a display, builds the application object with all its windows
// hidden, shows the main window, opens the file named
// on the command line if any, and runs the toolkit's event loop until no
// window is shown.
#include <FL/Fl.H>
#include <FL/Fl_Shared_Image.H>

#include <signal.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/file_dialogs.h"
#include "app/mirlan_ui.h"
#include "version.h"

namespace {

const char kUsage[] =
    "Usage : mirlan [OPTIONS DE FLTK] [FICHIER]\n"
    "\n"
    "Éditeur d'images : ouvre FICHIER s'il est donné (PNG, JPEG, WebP, BMP, PNM\n"
    "ou TGA, reconnu à son contenu).\n"
    "\n"
    "  --help       affiche cette aide\n"
    "  --version    affiche la version\n"
    "\n"
    "Les options de FLTK (-display, -geometry, -scheme, ...) sont acceptées.\n";

std::string file_argument;

// Takes the first argument that is not a toolkit switch as the file to open.
int TakeFile(int argc, char **argv, int &i)
{
    if (file_argument.empty() && i < argc && (argv[i][0] != '-' || argv[i][1] == '\0')) {
        file_argument = argv[i++];
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("mirlan %s (build %s)\n", MIRLAN_VERSION, MIRLAN_BUILD);
            return 0;
        }
    }
    // Building the windows measures text, which opens the display.
    cvui = new CMirlanUI;
    int next = 1;
    if (Fl::args(argc, argv, next, TakeFile) < argc)
        std::fputs(kUsage, stderr);
    // A file-size limit then fails a save like a full disk, with an alert,
    // instead of ending the program and losing the picture.
    signal(SIGXFSZ, SIG_IGN);
    SetFrenchToolkitTexts();
    fl_register_images();
    Fl::visual(FL_DOUBLE);
    cvui->show(argc, argv);
    if (!file_argument.empty())
        cvui->loadImage(&file_argument[0]);
    return Fl::run();
}
