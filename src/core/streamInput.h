#pragma once
// Where a capture stream comes from: standard input or a named pipe, read
// without ever waiting. A named pipe is opened before any writer comes (the
// descriptor polls readable only once one has written or gone), and the
// reads take what is there and return.
#include <cstddef>
#include <cstdint>
#include <string>

// "-" names standard input.
inline bool namesStandardInput(const std::string& name) { return name == "-"; }
// True when `path` exists and is a named pipe.
bool isNamedPipe(const std::string& path);
// True when descriptor fd is a terminal (standard input typed at, not piped into).
bool isTerminal(int fd);
// True when descriptor fd is a pipe or named pipe (standard input piped into).
bool isPipe(int fd);

class StreamInput {
public:
    StreamInput() = default;
    ~StreamInput();
    StreamInput(const StreamInput&) = delete;
    StreamInput& operator=(const StreamInput&) = delete;

    // Standard input, made non-blocking (a terminal is refused), or a named
    // pipe opened without waiting (anything else is refused). False with why().
    bool open(const std::string& name);
    void close();
    int fd() const { return fd_; }
    const std::string& why() const { return why_; }
    // "standard input" or the pipe's name, for messages.
    const std::string& label() const { return label_; }

    enum class Read { Bytes, Nothing, Ended, Failed };
    // Takes up to `capacity` bytes into `buffer` (their count in `got`):
    // Nothing when none wait now, Ended when every writer has gone, Failed
    // with why().
    Read read(uint8_t* buffer, size_t capacity, size_t& got);

private:
    int fd_ = -1;
    bool owned_ = false;   // standard input stays open for others
    std::string label_;
    std::string why_;
};
