#include "modFilters.h"

#include "core/accessors.h"
#include "core/modEncodings.h"

bool filterPacket(int64_t packetNumber) { return protocolSettings().hides(classify(getIPProtocol(packetNumber))); }
