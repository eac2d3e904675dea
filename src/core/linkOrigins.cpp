#include "linkOrigins.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "linkHeader.h"
#include "modLibrary.h"

namespace {
struct Runs {
    uint64_t generation = 0;
    std::vector<std::pair<int64_t, int>> starts;   // the first packet of each run and its link type
};

Runs& runs()
{
    static Runs r;
    if (r.generation != storeGeneration()) r = Runs{storeGeneration(), {}};
    return r;
}
}

void noteLinkType(int64_t packet, int linkType)
{
    Runs& r = runs();
    const int last = r.starts.empty() ? link_type::kEthernet : r.starts.back().second;
    if (linkType == last) return;
    // Runs wholly out of the ring go, so a capture that alternates link types stays bounded.
    if (r.starts.size() >= 2 * size_t(kSlotCount)) {
        const int64_t oldest = firstHeldPacket();
        const auto after = std::upper_bound(r.starts.begin(), r.starts.end(), std::pair{oldest, INT32_MAX});
        if (after != r.starts.begin()) r.starts.erase(r.starts.begin(), after - 1);   // keeps the run holding it
    }
    r.starts.emplace_back(packet, linkType);
}

int linkTypeOfPacket(int64_t packet)
{
    const Runs& r = runs();
    const auto after = std::upper_bound(r.starts.begin(), r.starts.end(), std::pair{packet, INT32_MAX});
    return after == r.starts.begin() ? link_type::kEthernet : (after - 1)->second;
}
