#include "modFilters.h"

#include <QPushButton>

#include "core/accessors.h"
#include "playback/frmEncodings.h"

bool filterPacket(int64_t packetNumber)
{
    const int p = getIPProtocol(packetNumber);
    FrmEncodings* w = frmEncodings();
    QPushButton* toggle = p == 1    ? w->tglICMP
                          : p == 2  ? w->tglIGMP
                          : p == 6  ? w->tglTCP
                          : p == 17 ? w->tglUDP
                          : (p >= 138 && p <= 252) ? w->tglUnkTransport
                                                   : w->tglOtherTransport;
    return toggle->isChecked();
}
