#include "pcapAdapters.h"

#include <pcap/pcap.h>

#include <algorithm>
#include <fstream>

#include "linkHeader.h"

namespace {
// libpcap's pseudo-device that captures on every interface, as Linux cooked frames.
const std::string kAnyAdapter = "any";

// A kernel network interface has a type under /sys/class/net; libpcap's
// pseudo-devices (any, bluetooth-monitor, nflog, nfqueue, dbus-*, usbmon*)
// have none, and of them only "any" delivers frames that can be shown.
int kernelInterfaceType(const std::string& name)
{
    if (name.find('/') != std::string::npos) return -1;
    std::ifstream file("/sys/class/net/" + name + "/type");
    int type = -1;
    return file >> type ? type : -1;
}

// The link type libpcap gives the interface. Opening it needs the capture
// rights; without them the kernel's type is mapped as libpcap maps it
// (Ethernet and loopback both deliver Ethernet frames, a tunnel without
// hardware header raw IP, "any" Linux cooked frames).
int linkTypeOf(const std::string& name)
{
    const int kernelType = kernelInterfaceType(name);
    if (kernelType < 0 && name != kAnyAdapter) return kLinkUnknown;   // a pseudo-device: not opened at all
    char errbuf[PCAP_ERRBUF_SIZE] = "";
    if (pcap_t* p = pcap_create(name.c_str(), errbuf)) {
        pcap_set_snaplen(p, 64);
        pcap_set_buffer_size(p, 64 * 1024);
        const int linkType = pcap_activate(p) >= 0 ? pcap_datalink(p) : kLinkUnknown;
        pcap_close(p);
        if (linkType != kLinkUnknown) return linkType;
    }
    constexpr int kArphrdEther = 1, kArphrdLoopback = 772, kArphrdNone = 65534;
    if (name == kAnyAdapter) return link_type::kLinuxCooked;
    if (kernelType == kArphrdNone) return link_type::kRawLinux;
    return kernelType == kArphrdEther || kernelType == kArphrdLoopback ? kLinkEthernet : kLinkUnknown;
}
}

std::vector<CaptureAdapter> ethernetAdapters(const std::vector<CaptureAdapter>& all)
{
    std::vector<CaptureAdapter> ethernet;
    std::copy_if(all.begin(), all.end(), std::back_inserter(ethernet),
                 [](const CaptureAdapter& a) { return shownAsEthernet(a.linkType); });
    return ethernet;
}

std::string adapterNamed(const std::string& given, const std::function<AdapterListing()>& list)
{
    if (given.empty() || given.size() > 9 || given.find_first_not_of("0123456789") != std::string::npos) return given;
    const size_t number = std::stoul(given);
    const AdapterListing listing = list();
    if (number < 1 || number > listing.adapters.size()) return given;
    return listing.adapters[number - 1].name;
}

AdapterListing listPcapAdapters()
{
    AdapterListing listing;
    char errbuf[PCAP_ERRBUF_SIZE] = "";
    pcap_if_t* all = nullptr;
    if (pcap_findalldevs(&all, errbuf) != 0) {
        listing.error = errbuf;
        return listing;
    }
    std::vector<CaptureAdapter> devices;
    for (const pcap_if_t* d = all; d; d = d->next)
        devices.push_back({d->name, d->description ? d->description : "", linkTypeOf(d->name)});
    pcap_freealldevs(all);
    listing.adapters = ethernetAdapters(devices);
    return listing;
}
