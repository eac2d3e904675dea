#include "cliSupport.h"

#include <cstdio>

#include "core/datasetWriter.h"
#include "core/fileLoader.h"
#include "core/frameSource.h"
#include "core/modLibrary.h"

void printError(const std::string& text) { std::fprintf(stderr, "nivora-cli: %s\n", text.c_str()); }

int usageError(const char* usage)
{
    std::fprintf(stderr, "usage: nivora-cli %s\n", usage);
    return 2;
}

int checkInputName(const std::string& name)
{
    if (!name.empty()) return 0;
    printError("the file name is empty");
    return 2;
}

int checkOutputName(const std::string& name)
{
    if (checkInputName(name) != 0) return 2;
    if (saveFormatOf(name) != SaveFormat::Unknown) return 0;
    printError("cannot write " + quotedPath(name) + ": the name must end in .nivora (dataset) or .pcap (capture)");
    return 2;
}

int reportLeftOut(const SaveReport& report, const std::string& out)
{
    if (!report.lostAnything()) return 0;
    printError(quotedPath(out) + ": " + describeLeftOut(report));
    return 1;
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
        printError("packets in " + quotedPath(path) + " exceeded buffer; only the first " + std::to_string(kSlotCount)
                   + " packets are used");
    printNotes(report, path);
    return true;
}

void printNotes(const LoadReport& report, const std::string& path)
{
    for (const std::string& note : loadNotes(report, path)) printError(note);
}

int finalStatus(const LoadReport& report) { return report.incomplete() ? 1 : 0; }
