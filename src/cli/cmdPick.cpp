// nivora-cli pick: which packets drew one pixel of a view, drawn as render
// draws it. The drawing runs in nivora-render, as render's does.
#include "cliCommand.h"
#include "cliSupport.h"
#include "render/renderUsage.h"

namespace {
int runPick(const CliArgs& args)
{
    CliArgs words{"pick"};
    words.insert(words.end(), args.begin(), args.end());
    return runRender(words);
}

const bool registered = registerCliCommand(
    {"pick", kPickUsage, "name the packets that drew the pixel X,Y of a view of FILE, topmost first", runPick, kPickOptions});
}
