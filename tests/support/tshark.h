#pragma once
// What tshark and capinfos read in a capture file: the other tools that
// check our writers and readers.
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace tshark {

inline bool installed() { return !QStandardPaths::findExecutable("tshark").isEmpty(); }

// One row per frame: the fields, tab-separated; several values of one field
// (a frame's comments) joined by `aggregator`.
inline QList<QStringList> fields(const QString& path, const QStringList& names, const QString& aggregator = "|")
{
    QStringList args{"-n", "-r", path, "-T", "fields", "-E", "aggregator=" + aggregator, "-E", "occurrence=a"};
    for (const QString& name : names) args << "-e" << name;
    QProcess p;
    p.start("tshark", args);
    p.waitForFinished(120000);
    QList<QStringList> rows;
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts))
        rows << line.split('\t');
    return rows;
}

// capinfos' exit status for the file: 0 when it accepts it.
inline int capinfosStatus(const QString& path)
{
    QProcess p;
    p.start("capinfos", {path});
    p.waitForFinished(120000);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

// Runs editcap with `args`; its exit status.
inline int editcap(const QStringList& args)
{
    QProcess p;
    p.start("editcap", args);
    p.waitForFinished(120000);
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

}
