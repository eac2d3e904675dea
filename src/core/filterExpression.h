#pragma once
// A libpcap filter expression ("tcp port 80 or host 10.0.0.5"), compiled once
// for Ethernet frames and run on a frame's bytes as tcpdump runs it on a
// file's records: the captured bytes and the length the frame had on the wire.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

class FilterExpression {
public:
    // The empty expression, which every frame matches.
    FilterExpression() = default;

    // The compiled `text`, or nothing with libpcap's message in `error`.
    // Blank text is the empty expression. Compiling may look names up (see
    // mayLookUpNames), which can block for as long as the resolver takes.
    static std::optional<FilterExpression> compile(const std::string& text, std::string& error);

    bool empty() const { return !program_; }
    // The text as compiled, spaces at either end removed.
    const std::string& text() const { return text_; }

    // Whether the frame passes. `captured` bytes are readable at `frame`;
    // `wireLength` is what `len`, `less` and `greater` test.
    bool matches(const uint8_t* frame, uint32_t captured, uint32_t wireLength) const;

private:
    struct Program;
    std::string text_;
    std::shared_ptr<const Program> program_;   // shared: copies run the same compiled code
};

// Whether a frame read from a file passes, on its captured bytes and its wire
// length (a dataset's frame was as long as its bytes).
struct SourceFrame;
bool frameMatches(const FilterExpression& expression, const SourceFrame& frame);

// Whether compiling `text` may ask a resolver: it holds a word that is not
// one of libpcap's own (a host, network, port or protocol name). An
// expression of numbers and keywords only never waits for a lookup.
bool mayLookUpNames(const std::string& text);
