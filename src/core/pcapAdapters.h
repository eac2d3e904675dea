#pragma once
// The network adapters libpcap can capture from, in libpcap's order. The
// capture window and nivora-cli list them the same way.
#include <string>
#include <vector>

struct CaptureAdapter {
    std::string name;          // what libpcap opens ("eth0", "lo")
    std::string pcapDescription; // libpcap's description; empty for most Linux adapters

    // The text shown for the adapter: its description where libpcap has one, else its name.
    const std::string& description() const { return pcapDescription.empty() ? name : pcapDescription; }
};

struct AdapterListing {
    std::vector<CaptureAdapter> adapters;
    std::string error;   // libpcap's text when the list could not be read
};

AdapterListing listPcapAdapters();
