// drag_source.cpp: a small FLTK window that drags a text, as a file manager
// drags a file: pressing the mouse in it starts a drag of its command-line
// argument (a text/uri-list or a path), for the drop scenario. The drag
// starts at the press rather than at the first move, so that a loaded
// machine cannot deliver the moves and the release before it starts.
//   drag_source TEXT
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Window.H>

#include <cstring>

namespace {

const char *text = "";

class Source : public Fl_Box {
public:
    Source(int x, int y, int w, int h) : Fl_Box(x, y, w, h, "glisser") {}
    int handle(int event) override
    {
        if (event == FL_PUSH) {
            Fl::copy(text, int(std::strlen(text)), 0);
            Fl::dnd();
            return 1;
        }
        return Fl_Box::handle(event);
    }
};

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    text = argv[1];
    Fl_Window window(0, 0, 100, 100, "Source");
    Source source(0, 0, 100, 100);
    window.end();
    window.show();
    return Fl::run();
}
