// desktop_entry.cpp: writes the desktop entry at build time from its
// template, with the MIME types and the names of the formats the program
// reads taken from the formats table, so that "Open with" offers Mirlan for
// exactly the files it opens.
//   desktop_entry TEMPLATE OUTPUT
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "image/formats.h"

namespace {

void ReplaceAll(std::string &text, const std::string &from, const std::string &to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::cerr << "usage: desktop_entry TEMPLATE OUTPUT\n";
        return 2;
    }
    std::ifstream in(argv[1]);
    std::stringstream text;
    text << in.rdbuf();
    std::string entry = text.str(), mimeTypes, names;
    for (const mirlan::ImageFormat &format : mirlan::Formats()) {
        mimeTypes += format.mimeTypes;
        names += std::string(format.name) + ";";
    }
    ReplaceAll(entry, "@MIME_TYPES@", mimeTypes);
    ReplaceAll(entry, "@FORMAT_NAMES@", names);
    std::ofstream out(argv[2]);
    out << entry;
    return in && out ? 0 : 1;
}
