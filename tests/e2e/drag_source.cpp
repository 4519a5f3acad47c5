// drag_source.cpp: a small FLTK window that drags a text, as a file manager
// drags a file: pressing the mouse in it starts a drag of its command-line
// argument (a text/uri-list or a path), for the drop scenario. The drag
// starts at the press rather than at the first move, so that a loaded
// machine cannot deliver the moves and the release before it starts.
//   drag_source TEXT
#include <FL/Fl.H>
#include <FL/Fl_Window.H>

#include <cstring>

namespace {

const char *text = "";

// The whole window is the handle of the drag.
class Source : public Fl_Window {
public:
    Source() : Fl_Window(0, 0, 100, 100, "Source") {}
    int handle(int event) override
    {
        if (event != FL_PUSH)
            return Fl_Window::handle(event);
        Fl::copy(text, int(std::strlen(text)), 0);
        Fl::dnd();
        return 1;
    }
};

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    text = argv[1];
    Source source;
    source.show();
    return Fl::run();
}
