#pragma once
// Running nivora-cli, built beside the tests, as a user would.
#include <QCoreApplication>
#include <QProcess>
#include <QStringList>

struct CliRun {
    int status = -1;   // -1: did not finish or crashed
    QByteArray out, err;
};

inline QString cliPath() { return QCoreApplication::applicationDirPath() + "/nivora-cli"; }

inline CliRun runCli(const QStringList& args, int timeoutMs = 30000)
{
    QProcess p;
    p.start(cliPath(), args);
    CliRun r;
    if (!p.waitForFinished(timeoutMs)) return r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}
