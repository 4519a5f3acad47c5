// startup.cpp: what the start-up unit shares with the rest of the program:
// the pointer to the one application object, and the base name of a path.
#include "app/mirlan_ui.h"

#include <cstring>

// Null until the entry point creates the object; the
// in-process tests create their own and set it.
CMirlanUI *cvui = nullptr;

const char *name(const char *path)
{
    const char *end = path + std::strlen(path);
    // A '/' in first place is the root, not a separator before a base name.
    for (const char *p = end; p > path + 1; --p)
        if (p[-1] == '/')
            return p;
    return path[0] == '/' ? path + 1 : path;
}
