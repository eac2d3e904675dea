#pragma once
// Manual pages in roff, written from the option tables that also give --help.
#include <map>
#include <string>
#include <vector>

#include "core/optionHelp.h"

struct CliCommand;

// Text as roff prints it literally: backslashes and minus signs escaped, a
// line that would start with a control character guarded.
std::string roffText(const std::string& text);
// An option as a tag: its dashed words bold, its values italic
// ("-i IFACE" gives "\fB\-i\fR \fIIFACE\fR").
std::string roffOptionTag(const std::string& option);
// One ".TP" paragraph an option, the tag on the line after ".TP".
std::string roffOptions(const OptionTable& options);
// One ".SS NAME" subsection a command: its usage, what it does, its options.
std::string roffCommands(const std::string& program, const std::vector<CliCommand>& commands);
// The template with every "@KEY@" replaced by its value; throws on a key `values` lacks.
std::string fillTemplate(const std::string& text, const std::map<std::string, std::string>& values);
