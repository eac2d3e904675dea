#pragma once
// The dialog layer of a random user: every message box, file dialog and
// colour dialog is answered at random from the monkey's own stream, after
// letting events run for a moment as a modal box would.
#include <QStringList>
#include <functional>
#include <random>

#include "platform/DialogLayer.h"

class MonkeyFiles;

class MonkeyDialogs final : public DialogLayer {
public:
    MonkeyDialogs(uint64_t seed, const MonkeyFiles& files, std::function<void(const QString&)> log);
    ~MonkeyDialogs() override;

    // True while a box is "on the screen": a user can reach no other window then.
    bool modalOpen() const { return open_ > 0; }

    MsgResult messageBox(const QString& text, const QString& title, MsgButtons buttons, MsgIcon icon) override;
    QString openFileName(const QString& title, const QString& folder, const QString& filter) override;
    QString saveFileName(const QString& title, const QString& folder, const QString& filter) override;
    ColorRef chooseColor(ColorRef initial, const QString& title) override;
    // One of a short list of harmless commands, never typed text.
    QString commandLine(const QString& title, const QStringList& recent) override;

private:
    // Events run while the box is up (timers, a capture), as under a real modal box.
    void whileShown();
    uint64_t next() { return rng_(); }

    std::mt19937_64 rng_;
    const MonkeyFiles& files_;
    std::function<void(const QString&)> log_;
    int open_ = 0;
};
