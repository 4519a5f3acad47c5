// dropped_file.h: the file that a drop on the window names.
#ifndef MIRLAN_APP_DROPPED_FILE_H
#define MIRLAN_APP_DROPPED_FILE_H

#include <string>

// The path in text as a file manager or another program drops it: the first
// of its lines (a text/uri-list may hold several), either a file:// URI
// (with or without a host, percent-encoded) or a plain path. Empty when the
// first line names no local file (another scheme, a remote host, a bad
// escape).
std::string DroppedPath(const std::string &text);

#endif
