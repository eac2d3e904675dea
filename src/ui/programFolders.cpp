#include "programFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString sampleFolder()
{
    const QString own = QCoreApplication::applicationDirPath();
    const QString installed = QDir::cleanPath(own + "/../share/nivora");
    for (const QString& folder : {own, installed})
        if (QFileInfo::exists(folder + "/sample.nivora")) return folder;
    return own;
}
