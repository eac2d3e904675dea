// nivora-cli interfaces: the adapters the capture window lists, in its order.
#include <cstdio>

#include "cliCommand.h"
#include "cliSupport.h"
#include "core/pcapAdapters.h"

namespace {
constexpr const char* kUsage = "interfaces";

int runInterfaces(const CliArgs& args)
{
    if (!args.empty()) return usageError(kUsage);
    const AdapterListing listing = listPcapAdapters();
    if (!listing.error.empty()) {
        printError("cannot list the adapters: " + listing.error);
        return 1;
    }
    if (listing.adapters.empty()) std::printf("No adapters found\n");
    int number = 0;
    for (const CaptureAdapter& adapter : listing.adapters) {
        // The window shows the description; capture -i takes the number or the
        // name, so the name follows where it differs.
        std::printf("%2d  %s", ++number, adapter.description().c_str());
        if (adapter.description() != adapter.name) std::printf("  [%s]", adapter.name.c_str());
        std::printf("\n");
    }
    return 0;
}

const bool registered =
    registerCliCommand({"interfaces", kUsage, "the network adapters to capture from, numbered", runInterfaces, {}});
}
