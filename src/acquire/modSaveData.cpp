#include "modSaveData.h"

#include <QCoreApplication>
#include <QFileInfo>

#include "acquire/fileNames.h"
#include "acquire/modFileData.h"
#include "core/datasetWriter.h"
#include "core/modLibrary.h"
#include "platform/DialogLayer.h"

void saveDataset()
{
    if (refuseWhileLoading()) return;
    if (getPacketCount() == 0) {
        dialogs().messageBox("There are no packets to save.", applicationTitle(), MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    QString path = dialogs().saveFileName("Save Dataset", QCoreApplication::applicationDirPath(),
                                          "nivora dataset (*.nivora);;pcap capture (*.pcap)");
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += ".nivora";

    const SaveReport report = saveHeldPackets(fileSystemName(path));
    if (!report.ok) {
        dialogs().messageBox(displayText(report.error) + "\n\nNothing was saved.", "Warning", MsgButtons::Ok,
                             MsgIcon::Exclamation);
        return;
    }
    if (report.lostAnything())
        dialogs().messageBox(QString("Saved %1 packet(s) to %2.\n\n").arg(report.written).arg(QFileInfo(path).fileName())
                                 + QString::fromStdString(describeLeftOut(report)),
                             applicationTitle(), MsgButtons::Ok, MsgIcon::Information);
}
