#pragma once
// The files a random user opens and saves, all in the run's work folder
// (the sample beside the program is the only one outside it): the sample, a
// pcap made from it, cuts of both, damaged copies, junk, an empty file, a
// folder, a missing name, a named pipe it feeds, and whatever the run saved meanwhile.
#include <QStringList>
#include <cstdint>

class MonkeyFiles {
public:
    MonkeyFiles(const QString& workFolder, const QString& sample, uint64_t seed);

    // What an open dialog may answer ("" is Cancel).
    QStringList toOpen() const;
    // What a save dialog may answer: new names of every kind, names already
    // saved (overwrites), names that cannot be written, and Cancel.
    QStringList toSave() const;
    // The sample as a pcap capture, for commands to print.
    QString sampleCapture() const { return work_ + "/sample.pcap"; }
    // A named pipe the run feeds with captures while the capture window may read it.
    QString streamPipe() const { return work_ + "/stream.fifo"; }

private:
    QString work_;
    QStringList made_;
};
