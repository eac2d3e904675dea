#include "pcapSession.h"

#include <pcap/pcap.h>

#include <algorithm>

#include "frameSource.h"
#include "linkHeader.h"

namespace {
struct Delivery {
    const FrameSink& sink;
    FrameStamp& stamp;
    bool nanoseconds;   // what the adapter's stamps count below the second
    int linkType;       // the adapter's; its frames are handed over as Ethernet
    std::vector<uint8_t>& scratch;
};

void deliver(u_char* user, const pcap_pkthdr* header, const u_char* bytes)
{
    const auto& to = *reinterpret_cast<const Delivery*>(user);
    const EthernetFrame e = asEthernet(to.linkType, bytes, header->caplen, to.scratch);
    to.stamp = FrameStamp{captureTimeOf(header->ts.tv_sec, header->ts.tv_usec, to.nanoseconds ? kNsPerSecond : 1'000'000),
                          wireLengthAfter(header->len, e.grownBy, e.size)};
    to.sink(e.data, int(std::min(e.size, size_t(kCaptureSnapLength))));
}

CaptureFailure::Kind kindOfStatus(int status)
{
    switch (status) {
    case PCAP_ERROR_PERM_DENIED:
    case PCAP_ERROR_PROMISC_PERM_DENIED: return CaptureFailure::Kind::NoPermission;
    case PCAP_ERROR_NO_SUCH_DEVICE: return CaptureFailure::Kind::NoSuchAdapter;
    default: return CaptureFailure::Kind::Other;
    }
}

// libpcap's name for the status, with its detailed text where it left one.
std::string statusText(pcap_t* handle, int status)
{
    std::string text = pcap_geterr(handle);
    if (status == PCAP_ERROR) return text;
    std::string summary = pcap_statustostr(status);
    return text.empty() || text == summary ? summary : summary + " (" + text + ")";
}

// Ethernet frames, or frames whose header can be replaced by an Ethernet one
// (the "any" adapter's Linux cooked frames, a tunnel's raw IP): the store
// decodes every frame as Ethernet II.
bool selectEthernet(pcap_t* handle, CaptureFailure& failure)
{
    const int link = pcap_datalink(handle);
    if (link == DLT_EN10MB || pcap_set_datalink(handle, DLT_EN10MB) == 0 || shownAsEthernet(link)) return true;
    failure = {CaptureFailure::Kind::NotEthernet, "the adapter delivers " + linkTypeText(link) + " frames"};
    return false;
}

bool isBlank(const std::string& filter) { return filter.find_first_not_of(" \t\r\n") == std::string::npos; }

// Checks the filter's syntax before any adapter is opened, so a mistyped
// filter is reported as such even where capturing is not permitted.
bool checkFilter(const std::string& filter, CaptureFailure& failure)
{
    if (isBlank(filter)) return true;
    std::unique_ptr<pcap_t, void (*)(pcap_t*)> dead(pcap_open_dead(DLT_EN10MB, kCaptureSnapLength), pcap_close);
    bpf_program program;
    const bpf_u_int32 anyMask = 0xffffff00;   // lets "ip broadcast" pass; the adapter's own mask comes later
    if (pcap_compile(dead.get(), &program, filter.c_str(), 1, anyMask) != 0) {
        failure = {CaptureFailure::Kind::BadFilter, pcap_geterr(dead.get())};
        return false;
    }
    pcap_freecode(&program);
    return true;
}

bool applyFilter(pcap_t* handle, const std::string& adapter, const std::string& filter, CaptureFailure& failure)
{
    if (isBlank(filter)) return true;
    bpf_u_int32 net = 0, mask = PCAP_NETMASK_UNKNOWN;
    char errbuf[PCAP_ERRBUF_SIZE];
    if (pcap_lookupnet(adapter.c_str(), &net, &mask, errbuf) != 0) mask = PCAP_NETMASK_UNKNOWN;
    bpf_program program;
    if (pcap_compile(handle, &program, filter.c_str(), 1, mask) != 0) {
        failure = {CaptureFailure::Kind::BadFilter, pcap_geterr(handle)};
        return false;
    }
    const int rc = pcap_setfilter(handle, &program);
    pcap_freecode(&program);
    if (rc != 0) failure = {CaptureFailure::Kind::BadFilter, pcap_geterr(handle)};
    return rc == 0;
}

std::unique_ptr<pcap_t, void (*)(pcap_t*)> activate(const std::string& adapter, CaptureFailure& failure)
{
    char errbuf[PCAP_ERRBUF_SIZE] = "";
    std::unique_ptr<pcap_t, void (*)(pcap_t*)> handle(pcap_create(adapter.c_str(), errbuf), pcap_close);
    if (!handle) {
        failure = {CaptureFailure::Kind::Other, errbuf};
        return handle;
    }
    pcap_set_snaplen(handle.get(), kCaptureSnapLength);
    pcap_set_promisc(handle.get(), 1);
    pcap_set_immediate_mode(handle.get(), 1);
    pcap_set_buffer_size(handle.get(), kCaptureBufferBytes);
    pcap_set_timeout(handle.get(), 100);   // bounds every blocking wait
    pcap_set_tstamp_precision(handle.get(), PCAP_TSTAMP_PRECISION_NANO);   // the kernel's own; else microseconds
    const int status = pcap_activate(handle.get());
    if (status < 0) {
        failure = {kindOfStatus(status), statusText(handle.get(), status)};
        handle.reset();
    }
    return handle;
}
}

std::string describeCaptureFailure(const CaptureFailure& failure, const std::string& adapter,
                                   const std::string& program)
{
    using Kind = CaptureFailure::Kind;
    switch (failure.kind) {
    case Kind::None: return {};
    case Kind::BadFilter: return "The capture filter is not valid: " + failure.detail;
    case Kind::NotEthernet:
        return "Cannot capture on " + adapter + ": " + failure.detail
               + ", and only Ethernet, Linux cooked, raw IP and loopback frames can be shown.";
    case Kind::NoPermission:
        return "Cannot capture on " + adapter + ": " + failure.detail +
               "\n\nCapturing needs the right to read raw network traffic. Run the program as root, "
               "or grant it the raw-capture capability, again after each rebuild or upgrade (which replaces the "
               "file):\n\n    sudo setcap cap_net_raw,cap_net_admin=eip " +
               program;
    case Kind::NoSuchAdapter:
    case Kind::Other: break;
    }
    return "Cannot capture on " + adapter + ": " + failure.detail;
}

std::unique_ptr<PcapSession> PcapSession::open(const std::string& adapter, const std::string& filter,
                                               CaptureMode mode, CaptureFailure& failure)
{
    failure = {};
    if (!checkFilter(filter, failure)) return nullptr;
    auto handle = activate(adapter, failure);
    if (!handle || !selectEthernet(handle.get(), failure) || !applyFilter(handle.get(), adapter, filter, failure))
        return nullptr;
    char errbuf[PCAP_ERRBUF_SIZE] = "";
    if (mode == CaptureMode::NonBlocking && pcap_setnonblock(handle.get(), 1, errbuf) != 0) {
        failure = {CaptureFailure::Kind::Other, errbuf};
        return nullptr;
    }
    if (pcap_get_selectable_fd(handle.get()) < 0) {
        failure = {CaptureFailure::Kind::Other, "the adapter offers no descriptor to wait on"};
        return nullptr;
    }
    return std::unique_ptr<PcapSession>(new PcapSession(handle.release()));
}

PcapSession::~PcapSession() { pcap_close(handle_); }

int PcapSession::selectableFd() const { return pcap_get_selectable_fd(handle_); }

int PcapSession::dispatch(int maxFrames, const FrameSink& sink)
{
    Delivery to{sink, stamp_, pcap_get_tstamp_precision(handle_) == PCAP_TSTAMP_PRECISION_NANO, linkType(), scratch_};
    return pcap_dispatch(handle_, maxFrames, deliver, reinterpret_cast<u_char*>(&to));
}

int PcapSession::linkType() const { return pcap_datalink(handle_); }

void PcapSession::breakLoop() { pcap_breakloop(handle_); }

uint64_t PcapSession::kernelDrops()
{
    pcap_stat stats{};
    if (pcap_stats(handle_, &stats) == 0) drops_ = stats.ps_drop;
    return drops_;
}

std::string PcapSession::lastError() const { return pcap_geterr(handle_); }
