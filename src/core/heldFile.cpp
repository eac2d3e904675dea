#include "heldFile.h"

#include "modLibrary.h"

void HeldFile::hold(FrameIndex index)
{
    index_ = std::move(index);
    loaded_.reset();
    matches_.reset();
}

void HeldFile::forget()
{
    index_.reset();
    loaded_.reset();
    matches_.reset();
}

void HeldFile::keepMatches(FileMatches matches, FilterExpression expression)
{
    matches_ = std::move(matches);
    matchExpression_ = std::move(expression);
}

void HeldFile::noteLoaded(const FrameWindow& window, int64_t firstPacket)
{
    loaded_ = window;
    loadedFrom_ = index_ ? index_->frames : 0;
    wholeStore_ = firstPacket == 1;
    generation_ = storeGeneration();
}

std::optional<FrameWindow> HeldFile::windowInStore() const
{
    if (!index_ || !loaded_ || !wholeStore_ || generation_ != storeGeneration() || getPacketCount() != loaded_->size())
        return std::nullopt;
    return loaded_;
}

std::optional<FrameWindow> HeldFile::neighbour(int direction) const
{
    if (!index_ || !loaded_) return std::nullopt;
    const int64_t frames = index_->frames;
    if (direction > 0 && loaded_->last < frames) return windowAt(loaded_->last + 1, frames, kSlotCount);
    if (direction < 0 && loaded_->first > 1) return windowAt(loaded_->first - kSlotCount, frames, kSlotCount);
    return std::nullopt;
}

std::string HeldFile::caption() const
{
    const auto window = windowInStore();
    return window ? describeWindow(*window, loadedFrom_) : std::string();
}

HeldFile& heldFile()
{
    static HeldFile file;
    return file;
}
