#pragma once
#include <cstdint>

// What the packet store needs from the program around it. The store itself
// never touches a window: the GUI installs a host that writes the playback
// window's labels and scroll bar, asks the overwrite question and clears the
// views; the CLI, tests and benchmarks run with the quiet default host.
class StoreHost {
public:
    virtual ~StoreHost() = default;

    // The store was emptied: the playback counter reads "0".
    virtual void showPacketCounter(int64_t count) { (void)count; }

    // After every change: the newest packet number and the oldest one still held.
    // An empty store reports count 0 and first 1.
    virtual void showPacketRange(int64_t count, int64_t first) { (void)count; (void)first; }

    // "Packets exist in the buffer.  Do you wish to overwrite?"  Yes empties
    // the store, No keeps its packets and adds the new ones after them,
    // Cancel leaves everything as it was and adds nothing.
    enum class Answer { Yes, No, Cancel };
    virtual Answer confirmOverwrite() { return Answer::Yes; }

    // A confirmed reset empties every view.
    virtual void clearVisualizations() {}
};

// Installs the host (not owned); nullptr restores the quiet default.
void setStoreHost(StoreHost* host);
StoreHost& storeHost();
