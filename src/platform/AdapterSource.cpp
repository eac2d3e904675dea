#include "AdapterSource.h"

namespace {
class PcapAdapterSource final : public AdapterSource {
public:
    AdapterListing probe() override { return listPcapAdapters(); }
};

PcapAdapterSource pcapSource;
AdapterSource* current = &pcapSource;
}

AdapterSource& adapterSource() { return *current; }
void installAdapterSource(AdapterSource* source) { current = source ? source : &pcapSource; }
