#include "renderOptions.h"

#include <QRegularExpression>

#include "cli/cliSupport.h"
#include "core/modLibrary.h"

std::optional<RenderOptions> parseRenderOptions(QStringList words, QString& error)
{
    RenderOptions o;
    o.pick = !words.isEmpty() && words.front() == "pick";
    bool atGiven = false;
    if (o.pick) words.removeFirst();
    const auto fail = [&error](const QString& why) {
        error = why;
        return std::optional<RenderOptions>{};
    };
    for (qsizetype i = 0; i < words.size(); ++i) {
        const QString& w = words[i];
        if (!w.startsWith("--")) {
            if (!o.file.isEmpty()) return fail(QString("more than one FILE ('%1')").arg(w));
            o.file = w;
            continue;
        }
        if (w == "--animate" && !o.pick) {
            o.animate = true;
            continue;
        }
        if (i + 1 >= words.size()) return fail(QString("%1 needs a value").arg(w));
        const QString value = words[++i];
        if (w == "--out" && !o.pick) {
            o.outDir = value;
        } else if (w == "--view" && o.pick) {
            o.view = value;
        } else if (w == "--at" && o.pick) {
            const QRegularExpressionMatch m = QRegularExpression(R"(^(-?\d{1,6}),(-?\d{1,6})$)").match(value);
            if (!m.hasMatch()) return fail(QString("--at '%1' is not X,Y").arg(value));
            o.at = QPoint(m.captured(1).toInt(), m.captured(2).toInt());
            atGiven = true;
        } else if (w == "--set") {
            o.settings << value;
        } else if (w == "--size") {
            const QRegularExpressionMatch m = QRegularExpression(R"(^(\d{1,5})x(\d{1,5})$)").match(value);
            if (!m.hasMatch() || m.captured(1).toInt() < 1 || m.captured(2).toInt() < 1)
                return fail(QString("--size '%1' is not WIDTHxHEIGHT").arg(value));
            o.size = QSize(m.captured(1).toInt(), m.captured(2).toInt());
        } else if (w == "--range") {
            const QRegularExpressionMatch m = QRegularExpression(R"(^(\d{1,10})-(\d{1,10})$)").match(value);
            if (!m.hasMatch() || m.captured(1).toLongLong() < 1 || m.captured(1).toLongLong() > m.captured(2).toLongLong())
                return fail(QString("--range '%1' is not FIRST-LAST with 1 <= FIRST <= LAST").arg(value));
            o.first = m.captured(1).toLongLong();
            o.last = m.captured(2).toLongLong();
        } else if (w == "--window") {
            if (const std::string problem = parseWindowOption(value.toStdString(), o.window, kSlotCount); !problem.empty())
                return fail(QString::fromStdString(problem));
        } else if (w == "--filter") {
            o.filter = value;
        } else if (w == "--every" && !o.pick) {
            o.every = value.toLongLong();
            if (!QRegularExpression(R"(^\d{1,10}$)").match(value).hasMatch() || o.every < 1)
                return fail(QString("--every '%1' is not a number of packets from 1 up").arg(value));
        } else if (w == "--fps" && !o.pick) {
            o.fps = value.toInt();
            if (!QRegularExpression(R"(^\d{1,3}$)").match(value).hasMatch() || o.fps < 1 || o.fps > 100)
                return fail(QString("--fps '%1' is not a number of frames a second from 1 to 100").arg(value));
        } else if (w == "--format" && !o.pick) {
            if (value != "bmp" && value != "png")
                return fail(QString("--format '%1' is not bmp or png").arg(value));
            o.format = value;
        } else {
            return fail(QString("unknown option '%1'").arg(w));
        }
    }
    if (o.file.isEmpty()) return fail("no FILE given");
    if (o.pick && o.view.isEmpty()) return fail("no --view NAME given");
    if (o.pick && !atGiven) return fail("no --at X,Y given");
    if (!o.pick && o.outDir.isEmpty()) return fail("no --out DIR given");
    if (!o.animate && (o.every != 0 || words.contains("--fps"))) return fail("--every and --fps go with --animate");
    return o;
}
