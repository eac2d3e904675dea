#pragma once
// One row of the table scripts/bench prints at the end of a run, as a line
// "TABLE<tab>figure<tab>value<tab>target<tab>reference measured in the same run<tab>ratio".
#include <cstdio>
#include <string>

inline std::string benchFigure(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

inline void tableRow(const std::string& figure, const std::string& value, const std::string& target,
                     const std::string& reference, double ratio)
{
    std::printf("TABLE\t%s\t%s\t%s\t%s\t%.2f\n", figure.c_str(), value.c_str(), target.c_str(), reference.c_str(),
                ratio);
}

// A row with no same-run reference: the ratio is to the target.
inline void tableRowAgainstTarget(const std::string& figure, const std::string& value, const std::string& target,
                                  double ratioToTarget)
{
    tableRow(figure, value, target, "(target)", ratioToTarget);
}
