#pragma once
// The network adapters libpcap can capture Ethernet frames from, in
// libpcap's order. The capture window and nivora-cli list them the same way.
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

// The adapters that deliver Ethernet frames, in the order given. The views
// read every frame as Ethernet: Bluetooth monitors, netfilter queues, D-Bus
// and the "any" pseudo-device deliver something else.
std::vector<CaptureAdapter> ethernetAdapters(const std::vector<CaptureAdapter>& all);

// libpcap's devices with their link types, then only those that deliver Ethernet.
AdapterListing listPcapAdapters();

// The adapter `given` names: by its number (1 up, as nivora-cli interfaces
// prints them) in the listing `list` makes, asked only for a number, else by itself.
std::string adapterNamed(const std::string& given, const std::function<AdapterListing()>& list);
