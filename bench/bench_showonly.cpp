// What a "Show only" expression and colour rules cost: the expression asked
// of every packet by the dispatch's filter, a Redraw of a full store with all
// seven views shown with and without it, and the colour of a packet through
// 100 rules of which none matches, against the protocol colour alone.
#include <QAction>
#include <QApplication>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/frmMain.h"
#include "benchTable.h"
#include "core/accessors.h"
#include "core/colourRules.h"
#include "core/modFilters.h"
#include "core/showOnly.h"
#include "playback/modVisualize.h"
#include "vis/frmVis7.h"
#include "vis/viewRegistry.h"

namespace {
constexpr int kFrames = 30000;
constexpr const char* kExpression = "tcp port 80 or host 10.0.0.5";

double seconds(const std::function<void()>& work, int rounds = 3)
{
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    return best;
}

FilterExpression compiled(const std::string& text)
{
    std::string error;
    return *FilterExpression::compile(text, error);
}

// A mix of TCP to and from port 80, other TCP, UDP and ICMP between hosts 10.0.x.y.
void fillStore()
{
    std::vector<uint8_t> frame(600, 0);
    frame[12] = 0x08, frame[14] = 0x45, frame[16] = 0x02, frame[17] = 0x4A, frame[22] = 64;
    frame[26] = frame[30] = 10;
    for (int f = 0; f < kFrames; ++f) {
        frame[23] = uint8_t(f % 4 == 3 ? 1 : f % 4 == 2 ? 17 : 6);
        frame[28] = uint8_t(f % 7), frame[29] = uint8_t(f % 251), frame[32] = uint8_t(f % 5), frame[33] = uint8_t(f % 13);
        frame[36] = 0, frame[37] = uint8_t(f % 3 == 0 ? 80 : 81);
        addPacket(frame.data(), int(frame.size()) - 1);
    }
}
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    frmMain()->show();
    fillStore();

    int64_t hidden = 0;
    const auto filterAll = [&] {
        hidden = 0;
        for (int64_t n = 1; n <= kFrames; ++n) hidden += filterPacket(n);
    };
    const double plainUs = seconds(filterAll, 5) * 1e6 / kFrames;
    setShowOnlyExpression(compiled(kExpression));
    const double expressionUs = seconds(filterAll, 5) * 1e6 / kFrames;
    std::printf("show only: filter per packet %.3f us without, %.3f us with \"%s\" (%lld of 30000 hidden)\n", plainUs,
                expressionUs, kExpression, (long long)hidden);
    tableRow("Show only: cost of the expression per packet", benchFigure("%.3f us", expressionUs - plainUs), "<= 0.3 us",
             benchFigure("filter without it %.3f us", plainUs), plainUs > 0 ? expressionUs / plainUs : 0);

    for (const ViewRow& row : viewRows()) frmMain()->menuItem(row.menuItem)->trigger();
    setShowOnlyExpression({});
    displayPackets(1, kFrames);
    const auto redraw = [] {
        redrawVisualizations();
        frmVis7()->flush();
    };
    const double plainRedraw = seconds(redraw);
    setShowOnlyExpression(compiled(kExpression));
    const double filteredRedraw = seconds(redraw);
    std::printf("show only: Redraw of 30000 packets, 7 views shown: %.3f s with, %.3f s without\n", filteredRedraw, plainRedraw);
    tableRow("Show only: Redraw of a full store, 7 views shown", benchFigure("%.3f s", filteredRedraw), "<= 0.35 s",
             benchFigure("without an expression %.3f s", plainRedraw), filteredRedraw / plainRedraw);
    setShowOnlyExpression({});

    // 100 rules, none matching: the worst a packet meets.
    std::vector<ColourRule> rules;
    for (int k = 0; k < 100; ++k) rules.push_back(ColourRule{true, rgb(k, 0, 0), compiled("host 192.0.2." + std::to_string(k))});
    ColorRef sum = 0;
    const auto colourAll = [&] { for (int64_t n = 1; n <= kFrames; ++n) sum += packetColour(n); };
    const double protocolUs = seconds(colourAll, 5) * 1e6 / kFrames;
    setColourRules(rules);
    const double rulesUs = seconds(colourAll, 5) * 1e6 / kFrames;
    std::printf("colour rules: per packet %.3f us with 100 rules, %.3f us without (%u)\n", rulesUs, protocolUs, unsigned(sum & 1));
    tableRow("colour of a packet through 100 rules, none matching", benchFigure("%.2f us", rulesUs), "(reported)",
             benchFigure("protocol colour alone %.3f us", protocolUs), protocolUs > 0 ? rulesUs / protocolUs : 0);
    return 0;
}
