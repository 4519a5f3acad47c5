// dropped_file.cpp: the file that a drop on the window names (see
// dropped_file.h).
#include "app/dropped_file.h"

#include <cctype>

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = char(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// %XX escapes decoded; empty for a cut or bad escape, or an encoded NUL.
std::string PercentDecoded(const std::string &s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out += s[i];
            continue;
        }
        const int high = i + 2 < s.size() ? HexValue(s[i + 1]) : -1, low = high < 0 ? -1 : HexValue(s[i + 2]);
        if (low < 0 || (high == 0 && low == 0))
            return "";
        out += char(high * 16 + low);
        i += 2;
    }
    return out;
}

}  // namespace

std::string DroppedPath(const std::string &text)
{
    // Lines of a uri-list end in CR LF; comments start with '#'.
    size_t start = 0;
    std::string line;
    do {
        const size_t end = text.find_first_of("\r\n", start);
        line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? text.size() : text.find_first_not_of("\r\n", end);
    } while ((line.empty() || line[0] == '#') && start != std::string::npos && start < text.size());
    const std::string scheme = "file://";
    if (line.compare(0, scheme.size(), scheme) != 0)
        return !line.empty() && line[0] == '/' ? line : "";
    std::string rest = line.substr(scheme.size());
    // file:///path, or file://localhost/path; another host is not ours.
    const size_t slash = rest.find('/');
    const std::string host = rest.substr(0, slash);
    if (slash == std::string::npos || !(host.empty() || host == "localhost"))
        return "";
    return PercentDecoded(rest.substr(slash));
}
