#include "MonkeyDialogs.h"

#include <map>
#include <vector>

#include <QEventLoop>
#include <QTimer>

#include "MonkeyFiles.h"

MonkeyDialogs::MonkeyDialogs(uint64_t seed, const MonkeyFiles& files, std::function<void(const QString&)> log)
    : rng_(seed ^ 0x9e3779b97f4a7c15ull), files_(files), log_(std::move(log))
{
    installDialogs(this);
}

MonkeyDialogs::~MonkeyDialogs() { installDialogs(nullptr); }

void MonkeyDialogs::whileShown()
{
    const int ms = int(next() % 40);
    if (ms < 20) return;   // answered at once half the time
    ++open_;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
    --open_;
}

MsgResult MonkeyDialogs::messageBox(const QString& text, const QString& title, MsgButtons buttons, MsgIcon)
{
    whileShown();
    // Every answer the box offers, equally likely.
    static const std::map<MsgButtons, std::vector<MsgResult>> offered{
        {MsgButtons::Ok, {MsgResult::Ok}},
        {MsgButtons::YesNo, {MsgResult::Yes, MsgResult::No}},
        {MsgButtons::YesNoCancel, {MsgResult::Yes, MsgResult::No, MsgResult::Cancel}},
        {MsgButtons::SaveDiscardCancel, {MsgResult::Save, MsgResult::Discard, MsgResult::Cancel}}};
    static const char* const names[] = {"Ok", "Yes", "No", "Cancel", "Save", "Discard"};
    const std::vector<MsgResult>& answers = offered.at(buttons);
    const MsgResult answer = answers[size_t(next() % answers.size())];
    const char* name = names[int(answer)];
    log_(QString("  box \"%1\" / %2 -> %3").arg(text.left(70), title, name));
    return answer;
}

QString MonkeyDialogs::openFileName(const QString& title, const QString&, const QString&)
{
    whileShown();
    const QStringList choices = files_.toOpen();
    const QString path = choices.at(int(next() % uint64_t(choices.size())));
    log_(QString("  open dialog \"%1\" -> \"%2\"").arg(title, path));
    return path;
}

QString MonkeyDialogs::saveFileName(const QString& title, const QString&, const QString&)
{
    whileShown();
    const QStringList choices = files_.toSave();
    const QString path = choices.at(int(next() % uint64_t(choices.size())));
    log_(QString("  save dialog \"%1\" -> \"%2\"").arg(title, path));
    return path;
}

ColorRef MonkeyDialogs::chooseColor(ColorRef initial, const QString& title)
{
    whileShown();
    const uint64_t r = next();
    const ColorRef chosen = r % 4 == 0 ? initial : ColorRef(r >> 8 & 0xffffff);   // a quarter of them closed unchosen
    log_(QString("  colour dialog \"%1\" -> %2").arg(title).arg(chosen, 6, 16, QChar('0')));
    return chosen;
}

QString MonkeyDialogs::commandLine(const QString& title, const QStringList&)
{
    whileShown();
    // A capture stream, one cut short, text, a failure, a command that is not
    // there, one that waits, one that ends at once, and cancel.
    const QString sample = files_.sampleCapture();
    const QStringList harmless = {"cat '" + sample + "'", "head -c 3000 '" + sample + "'",
                                  "echo not a capture", "false", "nivora-monkey-no-such-command",
                                  "sleep 5", "true", ""};
    const QString line = harmless.at(int(next() % uint64_t(harmless.size())));
    log_(QString("  command prompt \"%1\" -> \"%2\"").arg(title, line));
    return line;
}
