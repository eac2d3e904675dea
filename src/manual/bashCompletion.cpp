#include "bashCompletion.h"

#include <algorithm>
#include <sstream>

#include "cli/cliCommand.h"

namespace {
// The suffixes the shell offers for files read and files written.
constexpr const char* kInputSuffixes = "nivora|pcap|pcapng";
constexpr const char* kOutputSuffixes = "nivora|pcap";

std::vector<std::string> wordsOf(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string w; in >> w;) words.push_back(w);
    return words;
}

// What completes a value, by the word naming it; the rest take whatever is typed.
std::string valuesFunction(const CompletionWords& words)
{
    const auto list = [](const std::vector<std::string>& items) {
        std::string out;
        for (const std::string& item : items)
            if (item.find_first_of(" \t'\"\\$`") == std::string::npos) out += (out.empty() ? "" : " ") + item;
        return out;
    };
    return std::string("# Completes the value named $1 in a usage line.\n"
                       "_nivora_values()\n{\n"
                       "    case $1 in\n"
                       "    FILE | IN) _filedir '@(") + kInputSuffixes + ")' ;;\n"
           "    OUT) _filedir '@(" + kOutputSuffixes + ")' ;;\n"
           "    DIR) _filedir -d ;;\n"
           "    IFACE)\n"
           "        # The adapters as nivora-cli interfaces lists them: the name in brackets, or the whole line.\n"
           "        COMPREPLY=($(compgen -W \"$(\"${words[0]}\" interfaces 2>/dev/null |\n"
           "            sed -n 's/.*\\[\\(.*\\)\\]$/\\1/p; t; s/^ *[0-9][0-9]*  *//p')\" -- \"$cur\")) ;;\n"
           "    NAME) COMPREPLY=($(compgen -W '" + list(words.pictures) + "' -- \"$cur\")) ;;\n"
           "    WINDOW.CONTROL=VALUE)\n"
           "        COMPREPLY=($(compgen -W '" + list(words.settings) + "' -- \"$cur\"))\n"
           "        [[ ${#COMPREPLY[@]} -gt 1 || ${COMPREPLY[0]-} == *= ]] && compopt -o nospace 2> /dev/null ;;\n"
           "    *'|'*) COMPREPLY=($(compgen -W \"${1//|/ }\" -- \"$cur\")) ;;\n"
           "    esac\n}\n\n";
}

// The argument being typed, by its place among the words that are not options or their values.
const char* kArgumentFunction = R"(# Completes the argument being typed: $1 names the arguments in order, $2
# lists the options that take a value, $3 is the first word after the command.
_nivora_argument()
{
    local -a names=($1)
    local i n=0
    for ((i = $3; i < cword; i++)); do
        if [[ " $2 " == *" ${words[i]} "* ]]; then
            ((i++))
        elif [[ ${words[i]} != -* ]]; then
            ((n++))
        fi
    done
    ((n < ${#names[@]})) && _nivora_values "${names[n]}"
}

)";

struct Branch {
    std::string options;   // every option word, space-separated
    std::string valued;    // the options that take a value
    std::string cases;     // "--window) _nivora_values 'A-B'; return ;;" lines
};

Branch branchOf(const OptionTable& table)
{
    Branch b;
    for (const OptionHelp& row : table) {
        std::vector<std::string> names, values;
        for (std::string w : wordsOf(row.option)) {
            if (w.back() == ',') w.pop_back();
            (w[0] == '-' ? names : values).push_back(w);
        }
        for (const std::string& name : names) {
            b.options += (b.options.empty() ? "" : " ") + name;
            if (values.empty()) continue;
            b.valued += (b.valued.empty() ? "" : " ") + name;
            b.cases += "        " + name + ") _nivora_values '" + values.front() + "'; return ;;\n";
        }
    }
    return b;
}

std::string joined(const std::vector<std::string>& words)
{
    std::string out;
    for (const std::string& w : words) out += (out.empty() ? "" : " ") + w;
    return out;
}

// Completion of one command line's words from `first` on.
std::string body(const Branch& b, const std::string& arguments, int first, const std::string& indent)
{
    std::string out;
    if (!b.cases.empty()) {
        out += indent + "case $prev in\n";
        std::istringstream lines(b.cases);
        for (std::string line; std::getline(lines, line);) out += indent + line.substr(4) + "\n";
        out += indent + "esac\n";
    }
    out += indent + "if [[ $cur == -* ]]; then\n" + indent + "    COMPREPLY=($(compgen -W '" + b.options +
           "' -- \"$cur\"))\n" + indent + "    return\n" + indent + "fi\n";
    out += indent + "_nivora_argument '" + arguments + "' '" + b.valued + "' " + std::to_string(first) + "\n";
    return out;
}
}

std::vector<std::string> usageArguments(const std::string& usage)
{
    std::vector<std::string> arguments;
    int depth = 0;
    bool valueNext = false;
    const std::vector<std::string> words = wordsOf(usage);
    for (size_t i = 1; i < words.size(); ++i) {   // the first word is the command
        const std::string& w = words[i];
        depth += int(std::count(w.begin(), w.end(), '['));
        if (depth == 0) {
            if (w[0] == '-') valueNext = true;
            else if (valueNext) valueNext = false;
            else arguments.push_back(w);
        }
        depth -= int(std::count(w.begin(), w.end(), ']'));
    }
    return arguments;
}

std::string cliCompletion(const std::vector<CliCommand>& commands, const OptionTable& programOptions,
                          const CompletionWords& words)
{
    std::string names;
    for (const CliCommand& c : commands) names += std::string(c.name) + " ";
    std::string out = "# bash completion for nivora-cli, written from the option tables that give its --help.\n\n" +
                      valuesFunction(words) + kArgumentFunction +
                      "_nivora_cli()\n{\n    local cur prev words cword\n    _init_completion -n = || return\n"
                      "    if ((cword == 1)); then\n        COMPREPLY=($(compgen -W '" + names + branchOf(programOptions).options +
                      "' -- \"$cur\"))\n        return\n    fi\n    case ${words[1]} in\n";
    for (const CliCommand& c : commands) {
        Branch b = branchOf(c.options);
        b.options += std::string(b.options.empty() ? "" : " ") + "--help";
        out += "    " + std::string(c.name) + ")\n" + body(b, joined(usageArguments(c.usage)), 2, "        ") + "        ;;\n";
    }
    return out + "    esac\n} &&\n    complete -F _nivora_cli nivora-cli\n";
}

std::string guiCompletion(const OptionTable& options, const CompletionWords& words)
{
    return "# bash completion for nivora, written from the option table that gives its --help.\n\n" +
           valuesFunction(words) + kArgumentFunction +
           "_nivora()\n{\n    local cur prev words cword\n    _init_completion || return\n" +
           body(branchOf(options), "FILE", 1, "    ") + "} &&\n    complete -F _nivora nivora\n";
}
