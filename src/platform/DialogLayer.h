#pragma once
// Message boxes and common dialogs go through one small interface, so tests
// can answer them programmatically instead of clicking real modal boxes.
#include <QString>
#include <QStringList>
#include <optional>

#include "colorRef.h"

// Cancel (Escape, the close box) is offered where an answer could lose data.
enum class MsgButtons { Ok, YesNo, YesNoCancel, SaveDiscardCancel };
enum class MsgIcon { None, Exclamation, Critical, Information };
enum class MsgResult { Ok, Yes, No, Cancel, Save, Discard };

class QFileDialog;

class DialogLayer {
public:
    virtual ~DialogLayer() = default;
    virtual MsgResult messageBox(const QString& text, const QString& title,
                                 MsgButtons buttons, MsgIcon icon) = 0;
    // A file to open or to save; an empty string when the user cancels.
    virtual QString openFileName(const QString& title, const QString& folder, const QString& filter) = 0;
    virtual QString saveFileName(const QString& title, const QString& folder, const QString& filter) = 0;
    // The colour dialog, titled by what it colours; closing it without
    // choosing returns the initial colour.
    virtual ColorRef chooseColor(ColorRef initial, const QString& title) = 0;
    // A text of several lines to edit, starting as `initial`; nothing when
    // the user cancels. Where nobody can answer (the random user, the
    // benchmarks), every edit is cancelled.
    virtual std::optional<QString> editText(const QString& title, const QString& label, const QString& initial)
    {
        (void)title, (void)label, (void)initial;
        return std::nullopt;
    }
    // A command line, typed or picked from `recent` (newest first); empty when
    // the user cancels (as a layer that runs no commands always does).
    virtual QString commandLine(const QString& title, const QStringList& recent)
    {
        (void)title;
        (void)recent;
        return {};
    }
};

// Makes a file dialog that never reads a file to show it: the program's own
// dialog, icons and types from the name alone, so a kernel file such as
// /proc/kmsg, whose read never returns, cannot hold it (or the program) up.
void showNamesOnly(QFileDialog& dialog);

// The layer in force: the real Qt dialogs unless a test installed its own.
DialogLayer& dialogs();
// Installs a layer (not owned); nullptr restores the real dialogs.
void installDialogs(DialogLayer* layer);

// The application's name, the default title of a message box.
inline QString applicationTitle() { return QStringLiteral("nivora"); }
