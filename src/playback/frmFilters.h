#pragma once
// The playback window ("nivora: PVR"): plays the stored packets back like a
// video recorder. Its scroll bar is the playback position; the store keeps
// its range and counter up to date.
#include <QPointer>
#include <cstdint>

#include "app/FormWindow.h"

class QLabel;
class QScrollBar;

class FrmFilters : public FormWindow {
    Q_OBJECT
public:
    FrmFilters();

    QLabel* lblPacketCounter;
    QLabel* lblPacketMin;
    QLabel* lblPacketMax;
    QScrollBar* scrPacket;
    QString scrPacketTag;   // "locked" while the program moves the bar itself

    // Written by the store after every change.
    void showPacketCounter(int32_t count);
    void showPacketRange(int32_t count, int32_t first);

    // Refreshes the buffer-range labels from the store.
    void initFilters();
    // The first filter stage: accepts every packet.
    bool filter(int64_t packet) const { (void)packet; return true; }
};

FrmFilters* frmFilters();
