// nivora-cli fields [--labels] [--time] [--comments] [--window A-B|@TIME-@TIME|@TIME+COUNT]
// [--filter EXPR] FILE: the field catalogue of every frame of FILE (or of the
// window, or those the filter expression matches), numbered as in the file,
// with --time first its capture time and with --comments last its comments on
// one line, read in one pass without the store.
#include <charconv>
#include <cstdio>
#include <string>

#include "cliCommand.h"
#include "cliSupport.h"
#include "core/captureTime.h"
#include "core/commentText.h"
#include "core/fieldCatalogue.h"
#include "core/frameStream.h"
#include "core/modProcess.h"

namespace {
constexpr const char* kUsage = "fields [--labels] [--time] [--comments] [--window A-B|@TIME-@TIME|@TIME+COUNT] [--filter EXPR] FILE";
const OptionTable kOptions = {
    {"--labels", "print each field's label instead of its value"},
    {"--time", "print each frame's capture time first, in seconds since 1970 (empty for a dataset's frames)"},
    {"--comments", "print each frame's comments last, on one line (tabs and line breaks escaped)"},
    {"--window A-B|@TIME-@TIME|@TIME+COUNT", "print only frames A to B of FILE, 1-based; " + std::string(kWindowByTimeHelp)},
    {"--filter EXPR", "print only the frames the libpcap filter expression EXPR matches, numbered as in FILE"},
};

// Rows gathered and written in large pieces.
class Output {
public:
    void text(const std::string& t) { text_ += t; }
    void number(int64_t n)
    {
        char digits[24];
        text_.append(digits, size_t(std::to_chars(digits, digits + sizeof digits, n).ptr - digits));
    }
    void put(char c)
    {
        text_ += c;
        if (c == '\n' && text_.size() >= (1 << 16)) flush();
    }
    void flush()
    {
        std::fwrite(text_.data(), 1, text_.size(), stdout);
        text_.clear();
    }

private:
    std::string text_;
};

int runFields(const CliArgs& given)
{
    CliArgs args = given;
    WindowOption asked;
    if (const int status = takeWindowOption(args, asked, kUsage, 0)) return status;
    FilterExpression filter;
    if (const int status = takeFilterOption(args, filter, kUsage)) return status;
    bool labels = false, times = false, comments = false;
    std::string path;
    for (const std::string& a : args) {
        if (a == "--labels") labels = true;
        else if (a == "--time") times = true;
        else if (a == "--comments") comments = true;
        else if (!a.empty() && a[0] == '-') return usageError(kUsage);
        else if (path.empty()) path = a;
        else return usageError(kUsage);
    }
    if (path.empty()) return usageError(kUsage);
    if (const int status = findWindowByTime(asked, path, 0)) return status;
    const std::optional<FrameWindow>& window = asked.frames;

    LoadReport report;
    const auto stream = openFrameStream(path, report);
    if (!stream) {
        printError(report.message);
        return 1;
    }
    Output out;
    out.text(times ? "time\tpacket" : "packet");
    for (const char* name : fieldNames()) out.text(std::string("\t") + name);
    if (comments) out.text("\tcomments");
    out.put('\n');
    int64_t frames = 0;
    // A frame's ports of the transport it does not carry read 0, as in a freshly emptied store.
    stream->read(report, stream->start(), [&](const StreamFrame& f) {
        const int64_t number = ++frames;
        if (window && number < window->first) return true;
        if (!frameMatches(filter, f.frame)) return !window || number < window->last;
        const FrameHeaders h = decodeFrame(f.frame.data, int(std::min(f.frame.size, size_t(kSlotBytes))));
        // Seconds since 1970 with 9 decimals; empty for a frame from a dataset.
        if (times) {
            if (f.frame.stamp) out.text(epochSecondsText(f.frame.stamp->time));
            out.put('\t');
        }
        out.number(number);
        for (int field = 0; field < kFieldCount; ++field) {
            out.put('\t');
            if (labels) out.text(evaluateField(field, h, ProtocolLabel::Decimal).label);
            else out.number(fieldValue(field, h));
        }
        if (comments) {
            out.put('\t');
            if (f.frame.comments) out.text(commentsOnOneLine(*f.frame.comments));
        }
        out.put('\n');
        return !window || number < window->last;
    });
    out.flush();
    if (window && checkWindowReached(*window, frames, path) != 0) return 1;
    printNotes(report, path);
    return finalStatus(report);
}

const bool registered = registerCliCommand(
    {"fields", kUsage, "print the 18 catalogue fields of every frame of FILE, or of a window of them, or of those EXPR matches (--time: its capture time first; --comments: its comments last)", runFields, kOptions});
}
