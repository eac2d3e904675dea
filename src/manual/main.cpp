// nivora-manual: writes the manual pages and the bash completion of nivora and
// nivora-cli from the option tables that give their --help. Run by the build:
//   nivora-manual TEMPLATES OUTDIR
// reads TEMPLATES/nivora.1.in and nivora-cli.1.in and writes OUTDIR/nivora.1,
// nivora-cli.1, and OUTDIR/completions/nivora and nivora-cli.
#include <QApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "app/commandLine.h"
#include "bashCompletion.h"
#include "cli/cliCommand.h"
#include "render/controlSettings.h"
#include "render/pickedPackets.h"
#include "roffPage.h"

namespace {
std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const std::filesystem::path& path, const std::string& text)
{
    std::ofstream out(path);
    out << text;
    if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::string> standard(const QStringList& list)
{
    std::vector<std::string> out;
    for (const QString& s : list) out.push_back(s.toStdString());
    return out;
}
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: nivora-manual TEMPLATES OUTDIR\n");
        return 2;
    }
    // The windows are built, hidden, to list the controls --set can reach.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    try {
        const std::filesystem::path templates = argv[1], out = argv[2];
        std::filesystem::create_directories(out / "completions");
        writeFile(out / "nivora.1", fillTemplate(readFile(templates / "nivora.1.in"),
                                                 {{"VERSION", NIVORA_VERSION},
                                                  {"OPTIONS", roffOptions(commandLineOptions())}}));
        writeFile(out / "nivora-cli.1", fillTemplate(readFile(templates / "nivora-cli.1.in"),
                                                     {{"VERSION", NIVORA_VERSION},
                                                      {"OPTIONS", roffOptions(cliProgramOptions())},
                                                      {"COMMANDS", roffCommands("nivora-cli", cliCommands())}}));
        const CompletionWords words{standard(pictureNames()), standard(settableControls())};
        writeFile(out / "completions" / "nivora-cli", cliCompletion(cliCommands(), cliProgramOptions(), words));
        writeFile(out / "completions" / "nivora", guiCompletion(commandLineOptions(), words));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "nivora-manual: %s\n", e.what());
        return 1;
    }
    return 0;
}
