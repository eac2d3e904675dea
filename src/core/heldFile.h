#pragma once
// The file of more frames than the store holds that the program has open for
// moving through: its index and the window of it loaded last. The store holds
// that window while it holds exactly its frames, loaded into the emptied store.
#include <optional>

#include "fileFind.h"
#include "frameWindow.h"

class HeldFile {
public:
    void hold(FrameIndex index);
    void forget();
    bool held() const { return index_.has_value(); }
    FrameIndex& index() { return *index_; }

    // A window of the file was loaded; packets `firstPacket`.. of the store hold it.
    void noteLoaded(const FrameWindow& window, int64_t firstPacket);
    // The window the store holds now, if it holds one of this file's.
    std::optional<FrameWindow> windowInStore() const;
    // The store's width of frames after (+1) or before (-1) the window loaded
    // last; none at the file's ends or before a window was loaded.
    std::optional<FrameWindow> neighbour(int direction) const;
    // "600001 - 630000 of 1,000,000" while the store holds a window of the file; else empty.
    std::string caption() const;

    // The last find over the file and the expression it ran; forgotten with the file.
    void keepMatches(FileMatches matches, FilterExpression expression);
    const FileMatches* matches() const { return matches_ ? &*matches_ : nullptr; }
    const FilterExpression& matchExpression() const { return matchExpression_; }

private:
    std::optional<FrameIndex> index_;
    std::optional<FrameWindow> loaded_;
    int64_t loadedFrom_ = 0;      // the frames the file held then
    bool wholeStore_ = false;     // the window went into an emptied store
    uint64_t generation_ = 0;     // the store's filling it went into
    std::optional<FileMatches> matches_;
    FilterExpression matchExpression_;
};

// The program's one.
HeldFile& heldFile();
