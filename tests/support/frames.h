#pragma once
// Building Ethernet frames for tests.
#include <cstdint>
#include <vector>

namespace frames {

// An Ethernet II + IPv4 frame of `size` bytes (at least 34), protocol `proto`,
// IP header length `ihl` words; source/destination ports written behind the
// IP header when they fit. Unset payload bytes are `fill`.
inline std::vector<uint8_t> ipv4(int size, uint8_t proto, uint16_t sport = 0, uint16_t dport = 0,
                                 uint8_t ihl = 5, uint8_t fill = 0)
{
    std::vector<uint8_t> f(size_t(size), fill);
    auto put = [&](size_t at, uint8_t v) { if (at < f.size()) f[at] = v; };
    for (int i = 0; i < 12; ++i) put(size_t(i), uint8_t(i + 1));
    put(12, 0x08); put(13, 0x00);
    put(14, uint8_t(0x40 | (ihl & 15)));
    put(15, 0);
    put(16, uint8_t((size - 14) >> 8)); put(17, uint8_t(size - 14));
    put(18, 0x12); put(19, 0x34);
    put(20, 0x40); put(21, 0);
    put(22, 64); put(23, proto);
    put(24, 0xAB); put(25, 0xCD);
    put(26, 10); put(27, 0); put(28, 0); put(29, 1);
    put(30, 10); put(31, 0); put(32, 0); put(33, 2);
    const size_t k = ihl >= 5 ? size_t(ihl - 5) * 4 : 0;
    put(34 + k, uint8_t(sport >> 8)); put(35 + k, uint8_t(sport));
    put(36 + k, uint8_t(dport >> 8)); put(37 + k, uint8_t(dport));
    return f;
}

}
