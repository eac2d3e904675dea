#pragma once
// The "Load Dataset" window: shown while a file loads, with its name, size,
// load status and the progress through it. For a file of more frames than
// the store holds it also offers the window chooser: the file's overview with
// the store's window on it, the window's first frame, and "Load Window".
#include <QPointer>
#include <cstdint>

#include "ui/FormWindow.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class FrameOverview;
struct FileMatches;
class OverviewStrip;

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

    // The window chooser, shown only for a file of more frames than the store holds.
    QWidget* fraWindow;
    OverviewStrip* picOverview;
    QLabel* lblWindowFirst;
    QLineEdit* txtWindowFirst;
    QLabel* lblWindowRange;
    QPushButton* btnLoadWindow;
    // Find in file: an expression run over the whole file, its matches marked on the strip.
    QLabel* lblFindInFile;
    QComboBox* cmbFindInFile;
    QPushButton* btnFindInFile;
    QPushButton* btnStopFind;
    QLabel* lblFindResult;

    // The bar runs from 0 to the file length in bytes (scaled down for files
    // past the bar's 32-bit range).
    void setProgressRange(int64_t fileLength);
    void setProgressPosition(int64_t position);

    // Shows the chooser for a file of `frames` frames, its window at `first`;
    // the strip runs along the capture time when byTime is given.
    void showWindowChooser(const FrameOverview& overview, int64_t frames, int64_t first,
                           const FrameOverview* byTime = nullptr, int64_t farTimes = 0);
    void hideWindowChooser();
    // While a find runs: Stop offered, Find not, and how many matched so far.
    void showFindRunning(bool running, int64_t matchesSoFar = 0);
    // A find's result: on the strip and in words. `byTime`: the strip runs along the time.
    void showMatches(const FileMatches& matches, bool byTime);
    // The first frame of the window chosen.
    int64_t chosenFirst() const { return first_; }
    void chooseFirst(int64_t first);

private:
    int shift_ = 0;
    int64_t frames_ = 0;
    int64_t first_ = 1;
};

FrmLoadDataset* frmLoadDataset();
