// nivora-cli interfaces: the adapters the capture window lists, in its order.
#include <cstdio>

#include "cliCommand.h"
#include "core/pcapAdapters.h"

namespace {
int runInterfaces(const CliArgs& args)
{
    if (!args.empty()) {
        std::fprintf(stderr, "usage: nivora-cli interfaces\n");
        return 2;
    }
    const AdapterListing listing = listPcapAdapters();
    if (!listing.error.empty()) {
        std::fprintf(stderr, "nivora-cli: cannot list the adapters: %s\n", listing.error.c_str());
        return 1;
    }
    if (listing.adapters.empty()) std::printf("No adapters found\n");
    int number = 0;
    for (const CaptureAdapter& adapter : listing.adapters) {
        // The window shows the description; the name is what capture -i takes, so it follows when different.
        std::printf("%2d  %s", ++number, adapter.description().c_str());
        if (adapter.description() != adapter.name) std::printf("  [%s]", adapter.name.c_str());
        std::printf("\n");
    }
    return 0;
}

const bool registered =
    registerCliCommand({"interfaces", "interfaces", "the network adapters capture can read from", runInterfaces});
}
