// nivora-cli render: the views' pictures of a file, drawn by the program's own
// windows. The drawing needs the windowing libraries, which the other commands
// do without, so it runs in a program of its own beside this one.
#include <cerrno>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "cliCommand.h"
#include "cliSupport.h"
#include "render/renderUsage.h"

namespace {
std::string renderProgram()
{
    std::vector<char> self(4096);
    const ssize_t n = readlink("/proc/self/exe", self.data(), self.size() - 1);
    std::string path = n > 0 ? std::string(self.data(), size_t(n)) : std::string();
    return path.substr(0, path.rfind('/') + 1) + "nivora-render";
}
}

int runRender(const CliArgs& args)
{
    const std::string program = renderProgram();
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    printError("cannot start " + program + ": " + std::strerror(errno));
    return 1;
}

namespace {
const bool registered = registerCliCommand(
    {"render", kRenderUsage, "draw FILE in every view and write the pictures to DIR", runRender, kRenderOptions});
}
