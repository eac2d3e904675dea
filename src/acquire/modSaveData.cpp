#include "modSaveData.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "acquire/fileNames.h"
#include "acquire/modFileData.h"
#include "core/datasetWriter.h"
#include "core/modLibrary.h"
#include "core/packetComments.h"
#include "platform/DialogLayer.h"

namespace {
bool unsaved = false;
}

bool heldPacketsUnsaved() { return (unsaved || packetCommentsEdited()) && getPacketCount() > 0; }
void setHeldPacketsUnsaved(bool value) { unsaved = value; }

bool mayQuit()
{
    if (!heldPacketsUnsaved()) return true;
    switch (dialogs().messageBox("The buffer holds packets or comments that were captured, added or edited and have not"
                                 " been saved.\n\n"
                                 "Save them before quitting?",
                                 applicationTitle(), MsgButtons::SaveDiscardCancel, MsgIcon::Exclamation)) {
    case MsgResult::Save: return saveDataset();
    case MsgResult::Discard: return true;
    default: return false;
    }
}

bool saveDataset()
{
    if (refuseWhileLoading()) return false;
    if (getPacketCount() == 0) {
        dialogs().messageBox("There are no packets to save.", applicationTitle(), MsgButtons::Ok, MsgIcon::Information);
        return false;
    }
    // The folder last saved in, for this run; the program's own at first.
    static QString folder = QCoreApplication::applicationDirPath();
    QString path = dialogs().saveFileName("Save Dataset", folder, "nivora dataset (*.nivora);;pcap capture (*.pcap);;pcapng capture (*.pcapng)");
    if (path.isEmpty()) return false;
    folder = QFileInfo(path).absolutePath();
    if (QFileInfo(path).suffix().isEmpty()) path += ".nivora";

    const SaveReport report = saveHeldPackets(fileSystemName(path));
    if (!report.ok) {
        dialogs().messageBox(displayText(report.error) + "\n\nNothing was saved.", "Warning", MsgButtons::Ok,
                             MsgIcon::Exclamation);
        return false;
    }
    unsaved = false;
    if (report.commentsLeftOut == 0) packetCommentsSaved();   // kept only by a .pcapng
    // Where it went, in full: the dialog may have been left in any folder.
    QString told = QString("Saved %1 packet(s) to %2.").arg(report.written).arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
    if (report.lostAnything()) told += "\n\n" + QString::fromStdString(describeLeftOut(report));
    dialogs().messageBox(told, applicationTitle(), MsgButtons::Ok, MsgIcon::Information);
    return true;
}
