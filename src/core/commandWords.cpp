#include "commandWords.h"

#include <cstring>
#include <utility>

CommandWords splitCommandLine(const std::string& line)
{
    CommandWords result;
    std::string word;
    bool inWord = false;   // "" is a word of its own
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == '\n') {
            if (inWord) result.words.push_back(std::exchange(word, {}));
            inWord = false;
        } else if (c == '\\') {
            if (++i == line.size()) return {{}, "the line ends with a backslash"};
            if (line[i] != '\n') word += line[i];
            inWord = true;
        } else if (c == '\'') {
            const size_t end = line.find('\'', i + 1);
            if (end == std::string::npos) return {{}, "the closing ' is missing"};
            word += line.substr(i + 1, end - i - 1);
            i = end;
            inWord = true;
        } else if (c == '"') {
            for (++i;; ++i) {
                if (i == line.size()) return {{}, "the closing \" is missing"};
                if (line[i] == '"') break;
                if (line[i] == '\\' && i + 1 < line.size() && std::strchr("\"\\$`\n", line[i + 1])) {
                    if (line[++i] != '\n') word += line[i];
                } else {
                    word += line[i];
                }
            }
            inWord = true;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) result.words.push_back(word);
    return result;
}
