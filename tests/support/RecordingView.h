#pragma once
// Views for tests that record what the dispatch asks of them (of the window
// and of the thumbnail), in order. RecordingViews puts seven of them in place
// of the real views for its lifetime.
#include <QByteArray>
#include <QList>
#include <QStringList>
#include <algorithm>
#include <array>
#include <functional>

#include "platform/PictureSurface.h"
#include "vis/VisWindow.h"
#include "vis/viewRegistry.h"

class RecordingView : public VisWindow, public ThumbnailRenderer {
public:
    enum class Call { Plot, Thumbnail, Clear, InitBuffer };
    struct Entry {
        Call call;
        int32_t packet;   // 0 for Clear and InitBuffer
        bool operator==(const Entry&) const = default;
    };

    QList<Entry> calls;
    bool shown = true;
    QByteArray lastBytes;          // what the last Plot was given, packetLen bytes
    PictureSurface picture;        // what a screenshot writes
    // Runs inside every Plot, after it was recorded (to act in the middle of a drawing).
    std::function<void(int32_t)> onPlot;
    // Every view of a RecordingViews also writes "Plot3:12", "thumb3:12", "clear3" here.
    QStringList* journal = nullptr;
    int number = 0;

    void Plot(const PacketToDraw& p) override
    {
        record(Call::Plot, p.number, "Plot");
        lastBytes = QByteArray(reinterpret_cast<const char*>(p.bytes), p.len);
        if (onPlot) onPlot(p.number);
    }
    void plotThumbnail(const PacketToDraw& p, const ThumbnailTarget&) override
    {
        record(Call::Thumbnail, p.number, "thumb");
    }
    void clear() override { record(Call::Clear, 0, "clear"); }
    void initBufferView() override { record(Call::InitBuffer, 0, "init"); }
    bool isShown() const override { return shown; }
    std::vector<const PictureSurface*> screenshotPictures() const override { return {&picture}; }

    QList<int32_t> plotted() const
    {
        QList<int32_t> numbers;
        for (const Entry& e : calls)
            if (e.call == Call::Plot) numbers.append(e.packet);
        return numbers;
    }
    int count(Call kind) const
    {
        return int(std::count_if(calls.begin(), calls.end(), [kind](const Entry& e) { return e.call == kind; }));
    }
    void forget() { calls.clear(); }

private:
    void record(Call call, int32_t packet, const char* word)
    {
        calls.append({call, packet});
        if (journal) *journal << QString("%1%2%3").arg(word).arg(number).arg(packet ? QString(":%1").arg(packet) : "");
    }
};

struct RecordingViews {
    std::array<RecordingView, 7> views;
    QStringList journal;
    RecordingViews()
    {
        for (int k = 1; k <= 7; ++k) {
            RecordingView& v = views[size_t(k - 1)];
            v.number = k;
            v.journal = &journal;
            v.picture.resize(16, 8);
            overrideView(k, &v, &v);
        }
    }
    ~RecordingViews()
    {
        for (int k = 1; k <= 7; ++k) overrideView(k, nullptr, nullptr);
    }
    RecordingViews(const RecordingViews&) = delete;
    RecordingViews& operator=(const RecordingViews&) = delete;

    RecordingView& operator[](int k) { return views[size_t(k - 1)]; }
    void forget()
    {
        journal.clear();
        for (RecordingView& v : views) v.forget();
    }
};
