#pragma once
// The network adapters libpcap can capture frames from that can be shown as
// Ethernet frames (linkHeader.h), in libpcap's order. The capture window and
// nivora-cli list them the same way.
#include <functional>
#include <string>
#include <vector>

// libpcap's link types (DLT_...) that matter here; -1 when it is not known.
constexpr int kLinkUnknown = -1;
constexpr int kLinkEthernet = 1;   // DLT_EN10MB, also what libpcap delivers for Linux's loopback

struct CaptureAdapter {
    std::string name;          // what libpcap opens ("eth0", "lo")
    std::string pcapDescription; // libpcap's description; empty for most Linux adapters
    int linkType = kLinkUnknown; // the frames it delivers

    // The text shown for the adapter: its description where libpcap has one, else its name.
    const std::string& description() const { return pcapDescription.empty() ? name : pcapDescription; }
    // Its name with the description beside it: "eth0 — Intel ...", or just "lo".
    std::string label() const { return pcapDescription.empty() ? name : name + " \u2014 " + pcapDescription; }
};

struct AdapterListing {
    std::vector<CaptureAdapter> adapters;
    std::string error;   // libpcap's text when the list could not be read
};

// The adapters whose frames can be shown as Ethernet frames, in the order
// given: Ethernet, loopback, tunnels (raw IP) and the "any" pseudo-device
// (Linux cooked). Bluetooth monitors, netfilter queues and D-Bus deliver
// something else.
std::vector<CaptureAdapter> ethernetAdapters(const std::vector<CaptureAdapter>& all);

// libpcap's devices with their link types, then only those whose frames can be shown.
AdapterListing listPcapAdapters();

// The adapter `given` names: by its number (1 up, as nivora-cli interfaces
// prints them) in the listing `list` makes, asked only for a number, else by itself.
std::string adapterNamed(const std::string& given, const std::function<AdapterListing()>& list);
