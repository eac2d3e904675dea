#pragma once
// What reading a dataset or capture file into the store found, and the
// observer through which the program follows the load.
#include <cstdint>
#include <string>
#include <vector>

enum class LoadError {
    None,
    CannotOpen,    // missing, no permission, a directory, ...
    CannotRead,    // a read failed, or the file is too big to hold in memory
    NotDataset,    // the first 8 bytes are not "<NIVORA>"
    NotCapture,    // libpcap does not recognise the file
    NeitherFormat, // begins with neither the dataset header (nor its start) nor a capture's magic
    NotEthernet,   // a capture of another link type
    FileChanged,   // replaced or changed since it was indexed
    NoSuchWindow,  // the frames asked for are not in the file, or too many for the store
    Cancelled,     // the user cancelled the overwrite question: nothing was loaded
};

struct LoadReport {
    LoadError error = LoadError::None;
    std::string message;                // names the file and the reason; empty when loaded
    int64_t fileSize = 0;
    int64_t recordsFound = 0;           // records met, skipped ones and those past the store's capacity included
    int64_t packetsStored = 0;
    int64_t firstPacket = 1;            // packet numbers the new frames received
    int64_t lastPacket = 0;             // (an empty range when none was stored)
    bool capped = false;                // the file holds more frames than the store's 30000
    int64_t oversizedSkipped = 0;       // dataset records longer than 1601 bytes
    int64_t firstOversizedOffset = -1;  // byte offset of the first of them
    int64_t truncatedFrames = 0;        // capture frames cut to 1601 bytes
    int64_t emptyFrames = 0;            // capture frames with no bytes, not stored
    int64_t otherLinkFrames = 0;        // pcapng frames of interfaces that cannot be shown as Ethernet, not stored
    bool mixedLinkTypes = false;        // pcapng frames of more than one link type were stored
    std::string damage;                 // a capture that breaks off: libpcap's words
    bool reindexed = false;             // a window's file had changed and was indexed again
    int64_t trailingBytes = 0;          // dataset bytes after the last trailer: a record cut short, left out

    bool ok() const { return error == LoadError::None; }
    // Loaded, but part of the file could not be read (records skipped, a capture broken off).
    bool incomplete() const { return oversizedSkipped > 0 || !damage.empty(); }
};

// Sentences for what a successful load dropped, cut or could not read
// (empty when nothing is worth telling).
std::vector<std::string> loadNotes(const LoadReport& report, const std::string& path);

// Follows a load. The default does nothing, which is what the CLI wants;
// the program shows the progress window and messages through it.
class LoadObserver {
public:
    virtual ~LoadObserver() = default;
    virtual void fileOpened(int64_t size) { (void)size; }
    // The file's header is checked: it is a dataset or capture, and its frames follow.
    virtual void fileRead() {}
    // resetBuffer("file") has run (whatever the user answered): clear the views.
    virtual void storeReset() {}
    // A record was stored; position is the offset just past it in the file.
    virtual void progress(int64_t position) { (void)position; }
    // Between two records: a moment to let the program breathe.
    virtual void yieldPoint() {}
    // The file holds a frame beyond the store's capacity: the rest is not stored.
    virtual void capacityReached(int32_t capacity) { (void)capacity; }
    // Past the capacity, go on counting the file's records (true) or stop at once.
    virtual bool countPastCapacity() { return true; }
};
