#pragma once
// A dialog layer for tests: answers come from queues the test fills, and
// every message box shown is recorded.
#include <QList>
#include <functional>
#include <QQueue>
#include <QString>

#include "platform/DialogLayer.h"

struct ShownMessage {
    QString text;
    QString title;
    MsgButtons buttons;
    MsgIcon icon;
};

class ScriptedDialogs : public DialogLayer {
public:
    ScriptedDialogs() { installDialogs(this); }
    ~ScriptedDialogs() override { installDialogs(nullptr); }

    QQueue<MsgResult> answers;       // for questions; Yes (Discard before quitting) when empty
    QQueue<QString> fileNames;       // for open/save dialogs; "" (cancel) when empty
    QQueue<ColorRef> colors;         // for the colour dialog; the initial colour when empty
    QQueue<std::optional<QString>> texts;   // for text edits; cancelled when empty
    QStringList textsShown;          // the text each edit began with
    QQueue<QString> commandLines;    // for the command prompt; "" (cancel) when empty
    QList<QStringList> recentOffered;   // what each command prompt offered
    QList<ShownMessage> shown;
    QStringList fileDialogTitles;
    QStringList fileDialogFolders;
    QStringList fileDialogFilters;
    std::function<void()> duringMessage;   // run once, at the next message, while it is up

    MsgResult messageBox(const QString& text, const QString& title, MsgButtons buttons, MsgIcon icon) override
    {
        shown.append({text, title, buttons, icon});
        if (auto act = std::exchange(duringMessage, nullptr)) act();
        if (buttons == MsgButtons::Ok) return MsgResult::Ok;
        if (!answers.isEmpty()) return answers.dequeue();
        return buttons == MsgButtons::SaveDiscardCancel ? MsgResult::Discard : MsgResult::Yes;
    }
    QString openFileName(const QString& title, const QString& folder, const QString& filter) override
    {
        fileDialogTitles << title;
        fileDialogFolders << folder;
        fileDialogFilters << filter;
        return fileNames.isEmpty() ? QString() : fileNames.dequeue();
    }
    QString saveFileName(const QString& title, const QString& folder, const QString& filter) override
    {
        return openFileName(title, folder, filter);
    }
    std::optional<QString> editText(const QString&, const QString&, const QString& initial) override
    {
        textsShown << initial;
        return texts.isEmpty() ? std::nullopt : texts.dequeue();
    }
    QString commandLine(const QString&, const QStringList& recent) override
    {
        recentOffered << recent;
        return commandLines.isEmpty() ? QString() : commandLines.dequeue();
    }
    ColorRef chooseColor(ColorRef initial, const QString&) override
    {
        return colors.isEmpty() ? initial : colors.dequeue();
    }
};
