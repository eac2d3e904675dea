// nivora-cli fields [--labels] [--time] FILE: the field catalogue of every
// stored packet, with --time first its capture time.
#include <cstdio>
#include <string>

#include "cliCommand.h"
#include "cliSupport.h"
#include "core/accessors.h"
#include "core/captureTime.h"
#include "core/fieldCatalogue.h"
#include "core/modLibrary.h"

namespace {
constexpr const char* kUsage = "fields [--labels] [--time] FILE";

int runFields(const CliArgs& args)
{
    bool labels = false, times = false;
    std::string path;
    for (const std::string& a : args) {
        if (a == "--labels") labels = true;
        else if (a == "--time") times = true;
        else if (!a.empty() && a[0] == '-') return usageError(kUsage);
        else if (path.empty()) path = a;
        else return usageError(kUsage);
    }
    if (path.empty()) return usageError(kUsage);

    LoadReport report;
    if (!loadIntoFreshStore(path, report)) return 1;

    std::string line = times ? "time\tpacket" : "packet";
    for (const char* name : fieldNames()) line += std::string("\t") + name;
    std::puts(line.c_str());
    for (int64_t n = firstHeldPacket(); n <= getPacketCount(); ++n) {
        // Seconds since 1970 with 9 decimals; empty for a packet from a dataset.
        line = times ? epochSecondsText(getCaptureTime(n)) + '\t' + std::to_string(n) : std::to_string(n);
        for (int field = 0; field < kFieldCount; ++field) {
            const FieldSample sample = evaluateField(field, n, ProtocolLabel::Decimal);
            line += '\t';
            line += labels ? sample.label : std::to_string(sample.value);
        }
        std::puts(line.c_str());
    }
    return finalStatus(report);
}

const bool registered = registerCliCommand(
    {"fields", kUsage, "load FILE and print the 18 catalogue fields of every stored packet (--time: its capture time first)", runFields});
}
