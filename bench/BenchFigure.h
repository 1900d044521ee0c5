#pragma once
// One measured figure per line, in a form scripts/bench gathers into its
// table: "FIGURE<TAB>what<TAB>value<TAB>goal<TAB>met", met being "yes", "no"
// or "-" when the figure has no goal. The benchmark's own report may print
// more detail around these lines.
#include <cstdio>
#include <string>

inline void printFigure(const std::string& isWhat, const std::string& isValue, const std::string& isGoal = "-",
                        int inMet = -1)
{
    std::printf("FIGURE\t%s\t%s\t%s\t%s\n", isWhat.c_str(), isValue.c_str(), isGoal.c_str(),
                inMet < 0 ? "-" : (inMet ? "yes" : "no"));
    std::fflush(stdout);
}

// printf-style formatting of the value column.
template <typename... Args>
std::string figureText(const char* ipFormat, Args... iaArgs)
{
    char aText[128];
    std::snprintf(aText, sizeof aText, ipFormat, iaArgs...);
    return aText;
}
