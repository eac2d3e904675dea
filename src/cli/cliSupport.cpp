#include "cliSupport.h"

#include <cstdio>

#include "core/fileLoader.h"
#include "core/modLibrary.h"

void printError(const std::string& text) { std::fprintf(stderr, "nivora-cli: %s\n", text.c_str()); }

int usageError(const char* usage)
{
    std::fprintf(stderr, "usage: nivora-cli %s\n", usage);
    return 2;
}

bool loadIntoFreshStore(const std::string& path, LoadReport& report)
{
    resetBuffer("startup");
    LoadObserver quiet;
    report = loadAnyFile(path, quiet);
    if (!report.ok()) {
        printError(report.message);
        return false;
    }
    if (report.capped)
        printError("warning: packets in file exceeded buffer; only the first " + std::to_string(kSlotCount)
                   + " packets are used");
    for (const std::string& note : loadNotes(report, path)) printError("warning: " + note);
    return true;
}
