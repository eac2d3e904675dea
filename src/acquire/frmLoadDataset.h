#pragma once
// The "Load Dataset" window: shown while a file loads, with its name, size,
// load status and the progress through it. It has no behaviour of its own.
#include <QPointer>
#include <cstdint>

#include "ui/FormWindow.h"

class QLabel;
class QProgressBar;

class FrmLoadDataset : public FormWindow {
    Q_OBJECT
public:
    FrmLoadDataset();

    QLabel* lblFile;
    QLabel* lblFileVariable;
    QLabel* Label1;
    QLabel* lblFileSizeVariable;
    QLabel* lblFileLoad;
    QLabel* lblFileLoadStatusVariable;
    QLabel* lblProcessingPackets;
    QProgressBar* pbProcessing;

    // The bar runs from 0 to the file length in bytes (scaled down for files
    // past the bar's 32-bit range).
    void setProgressRange(int64_t fileLength);
    void setProgressPosition(int64_t position);

private:
    int shift_ = 0;
};

FrmLoadDataset* frmLoadDataset();
