#include "pcapAdapters.h"

#include <pcap/pcap.h>

AdapterListing listPcapAdapters()
{
    AdapterListing listing;
    char errbuf[PCAP_ERRBUF_SIZE] = "";
    pcap_if_t* all = nullptr;
    if (pcap_findalldevs(&all, errbuf) != 0) {
        listing.error = errbuf;
        return listing;
    }
    for (const pcap_if_t* d = all; d; d = d->next)
        listing.adapters.push_back({d->name, d->description ? d->description : ""});
    pcap_freealldevs(all);
    return listing;
}
