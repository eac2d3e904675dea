#include "frameFilter.h"

#include <pcap/pcap.h>

#include <memory>

#include "captureRecords.h"

FrameFilter::FrameFilter() = default;

FrameFilter::~FrameFilter() { clear(); }

void FrameFilter::clear()
{
    if (program_) pcap_freecode(program_);
    delete program_;
    program_ = nullptr;
}

bool FrameFilter::compile(const std::string& expression, std::string& error)
{
    clear();
    if (expression.find_first_not_of(" \t\r\n") == std::string::npos) return true;
    std::unique_ptr<pcap_t, void (*)(pcap_t*)> dead(pcap_open_dead(DLT_EN10MB, int(capture::kMaxCaptured)), pcap_close);
    auto program = std::make_unique<bpf_program>();
    // No adapter, so no netmask: "ip broadcast" is refused, as libpcap does without one.
    if (pcap_compile(dead.get(), program.get(), expression.c_str(), 1, PCAP_NETMASK_UNKNOWN) != 0) {
        error = pcap_geterr(dead.get());
        return false;
    }
    program_ = program.release();
    return true;
}

bool FrameFilter::accepts(const uint8_t* data, uint32_t size, const FrameStamp& stamp) const
{
    if (!program_) return true;
    pcap_pkthdr header{};
    header.caplen = size;
    header.len = stamp.wireLength;
    return pcap_offline_filter(program_, &header, data) != 0;
}
