#include "commandLine.h"

#include <QFile>
#include <QTimer>

#include "acquire/frmCapture.h"
#include "acquire/modFileData.h"
#include "core/streamInput.h"

CommandLine parseCommandLine(const std::vector<std::string>& words)
{
    // --help and --version win wherever they stand (before "--").
    for (const std::string& word : words) {
        if (word == "--") break;
        if (word == "--help" || word == "-h") return {CommandLine::Action::Help, {}, {}};
        if (word == "--version") return {CommandLine::Action::Version, {}, {}};
    }
    CommandLine line;
    bool optionsEnd = false;   // after "--" every word is a file name
    for (const std::string& word : words) {
        if (!optionsEnd && word == "--") {
            optionsEnd = true;
        } else if (!optionsEnd && word.size() > 1 && word[0] == '-') {
            return {CommandLine::Action::UsageError, {}, "unknown option '" + word + "'"};
        } else if (!line.file.empty()) {
            return {CommandLine::Action::UsageError, {}, "one file at a time"};
        } else if (word.empty()) {
            return {CommandLine::Action::UsageError, {}, "the file name is empty"};
        } else {
            line.file = word;
        }
    }
    return line;
}

const OptionTable& commandLineOptions()
{
    static const OptionTable options = {
        {"-h, --help", "print the options and exit"},
        {"--version", "print the version and exit"},
        {"--", "take every word after it as the file name, even one starting with -"},
    };
    return options;
}

std::string commandLineUsage()
{
    return "usage: nivora [FILE | -]\n\n"
           "Shows network traffic as pictures. FILE, a nivora dataset or a pcap or pcapng\n"
           "capture, is opened once the main window shows. With -, a pcap or pcapng\n"
           "stream piped into its standard input is shown live as it comes.\n\n" +
           optionHelpText(commandLineOptions());
}

void openWhenShown(const std::string& path)
{
    if (namesStandardInput(path)) {
        QTimer::singleShot(0, [] {
            frmCapture()->show();
            frmCapture()->StartStream("-");
        });
        return;
    }
    const QString name = QFile::decodeName(QByteArray::fromStdString(path));
    QTimer::singleShot(0, [name] { loadAnyDataFile(name); });
}
