#pragma once
// Views for tests that record what the dispatch asks of them, in order.
// RecordingViews puts seven of them in place of the real views for its lifetime.
#include <QList>
#include <array>
#include <functional>

#include "vis/VisWindow.h"
#include "vis/visWindows.h"

class RecordingView : public VisWindow {
public:
    enum class Call { Plot, Thumbnail, Clear, InitBuffer };
    struct Entry {
        Call call;
        int32_t packet;   // 0 for Clear and InitBuffer
        bool operator==(const Entry&) const = default;
    };

    QList<Entry> calls;
    bool shown = true;
    // Runs inside every Plot, after it was recorded (to act in the middle of a drawing).
    std::function<void(int32_t)> onPlot;

    void Plot(const PacketToDraw& p) override
    {
        calls.append({Call::Plot, p.number});
        if (onPlot) onPlot(p.number);
    }
    void plotThumbnail(const PacketToDraw& p) override { calls.append({Call::Thumbnail, p.number}); }
    void clear() override { calls.append({Call::Clear, 0}); }
    void initBufferView() override { calls.append({Call::InitBuffer, 0}); }
    bool isShown() const override { return shown; }

    QList<int32_t> plotted() const
    {
        QList<int32_t> numbers;
        for (const Entry& e : calls)
            if (e.call == Call::Plot) numbers.append(e.packet);
        return numbers;
    }
    int count(Call kind) const
    {
        int n = 0;
        for (const Entry& e : calls) n += e.call == kind;
        return n;
    }
    void forget() { calls.clear(); }
};

struct RecordingViews {
    std::array<RecordingView, kVisWindowCount> views;
    RecordingViews()
    {
        for (int k = 1; k <= kVisWindowCount; ++k) overrideVisWindow(k, &views[size_t(k - 1)]);
    }
    ~RecordingViews()
    {
        for (int k = 1; k <= kVisWindowCount; ++k) overrideVisWindow(k, nullptr);
    }
    RecordingViews(const RecordingViews&) = delete;
    RecordingViews& operator=(const RecordingViews&) = delete;

    RecordingView& operator[](int k) { return views[size_t(k - 1)]; }
    void forget()
    {
        for (RecordingView& v : views) v.forget();
    }
};
