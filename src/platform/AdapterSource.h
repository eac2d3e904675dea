#pragma once
// Where the capture control finds its adapters: libpcap's list unless a test
// installed a collection of its own.
#include "core/pcapAdapters.h"

class AdapterSource {
public:
    virtual ~AdapterSource() = default;
    virtual AdapterListing probe() = 0;
};

// The source in force.
AdapterSource& adapterSource();
// Installs a source (not owned); nullptr restores libpcap's list.
void installAdapterSource(AdapterSource* source);
