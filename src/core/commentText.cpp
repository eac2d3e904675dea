#include "commentText.h"

std::string commentsOnOneLine(const FrameComments& comments)
{
    std::string line;
    for (size_t k = 0; k < comments.size(); ++k) {
        if (k > 0) line += '|';
        for (const char c : comments[k]) {
            switch (c) {
            case '\\': line += "\\\\"; break;
            case '|': line += "\\|"; break;
            case '\t': line += "\\t"; break;
            case '\n': line += "\\n"; break;
            case '\r': line += "\\r"; break;
            default: line += c;
            }
        }
    }
    return line;
}
