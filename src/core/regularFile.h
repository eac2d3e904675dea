#pragma once
// Files are opened only once they are known to be regular files: opening a
// named pipe waits for a writer, and reading a device or a kernel file such
// as /proc/kmsg waits for data, either of which would freeze the program.
#include <string>

// Opens `path` for reading without ever waiting: a descriptor, or -1 with
// `reason` set ("not a regular file", or the system's words). The descriptor
// stays non-blocking, so a kernel file with nothing to read ends the read
// with an error instead of holding it.
int openRegularFile(const std::string& path, std::string& reason);

// True when `path` names something that exists and is neither a regular file
// nor a folder (a pipe, a device, a socket): writing there could wait forever.
bool isSpecialFile(const std::string& path);

// The words for a failed read: a kernel file with nothing to read says so.
std::string readErrorText(int error);
