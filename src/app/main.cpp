#include <QApplication>
#include <QFile>
#include <cstdio>

#include "app/commandLine.h"
#include "app/frmMain.h"
#include "playback/frmColourRules.h"

namespace {
std::vector<std::string> wordsOf(const QStringList& arguments)
{
    std::vector<std::string> words;
    for (const QString& a : arguments.mid(1)) words.push_back(QFile::encodeName(a).toStdString());
    return words;
}
}

int main(int argc, char** argv)
{
    // Asked for before any window exists, so they need no display.
    const CommandLine early = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (early.action == CommandLine::Action::Help) return std::fputs(commandLineUsage().c_str(), stdout) < 0;
    if (early.action == CommandLine::Action::Version) return std::printf("nivora %s\n", NIVORA_VERSION) < 0;

    QApplication app(argc, argv);   // takes the toolkit's own options (-platform, -style, ...)
    const CommandLine line = parseCommandLine(wordsOf(QApplication::arguments()));
    if (line.action == CommandLine::Action::UsageError) {
        std::fprintf(stderr, "nivora: %s\n%s", line.problem.c_str(), commandLineUsage().c_str());
        return 2;
    }
    QApplication::setApplicationName("nivora");
    QApplication::setQuitOnLastWindowClosed(false);   // only the main window ends the program
    loadColourRulesPreference();
    frmMain()->show();
    if (!line.file.empty()) openWhenShown(line.file);
    return app.exec();
}
