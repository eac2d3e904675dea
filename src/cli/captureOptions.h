#pragma once
// What `nivora-cli capture` was asked: the adapter's, the stream's and the
// pipe's captures share it.
#include <optional>
#include <string>

struct CaptureOptions {
    std::string adapter;   // an adapter, "-" (standard input) or a named pipe
    std::string filter;
    int count = 0;   // 0: until Ctrl-C or the stream's end
    std::optional<std::string> out;
};

// The capture of a pcap or pcapng stream on standard input or a named pipe;
// the exit status.
int captureStream(const CaptureOptions& options);
