#include "unknownFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "datasetFormat.h"
#include "frameSource.h"

namespace {
// "<NIVORA" or its beginning in any case: a dataset with a damaged or cut header.
bool looksLikeDataset(const uint8_t* first, size_t size)
{
    const size_t compared = std::min(size, kDatasetHeader.size() - 1);
    if (compared == 0) return false;
    for (size_t i = 0; i < compared; ++i)
        if (std::toupper(first[i]) != kDatasetHeader[i]) return false;
    return true;
}

// "the text "GET / HTTP/1.1\r\n"" when every byte is printable or a line's
// end or a tab, else the bytes in hexadecimal.
std::string firstBytesText(const uint8_t* first, size_t size)
{
    const auto escaped = [](uint8_t b) { return b == '\n' ? "\\n" : b == '\r' ? "\\r" : b == '\t' ? "\\t" : nullptr; };
    if (std::all_of(first, first + size, [&](uint8_t b) { return (b >= 0x20 && b < 0x7F) || escaped(b); })) {
        std::string text = "the text \"";
        for (size_t i = 0; i < size; ++i) text += escaped(first[i]) ? escaped(first[i]) : std::string(1, char(first[i]));
        return text + "\"";
    }
    std::string text = "the bytes";
    for (size_t i = 0; i < size; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02X", first[i]);
        text += hex;
    }
    return text;
}
}

void refuseUnknownFile(const std::string& path, const uint8_t* first, size_t size, LoadReport& report)
{
    if (looksLikeDataset(first, size)) {
        report.error = LoadError::NotDataset;
        report.message = quotedPath(path) + " is not a nivora format file: it does not begin with \"<NIVORA>\"";
        return;
    }
    report.error = LoadError::NeitherFormat;
    report.message = quotedPath(path) + " is neither a nivora dataset nor a pcap or pcapng capture: "
                     + (size == 0 ? std::string("it is empty") : "it begins with " + firstBytesText(first, size));
}
