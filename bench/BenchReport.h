#ifndef BENCHREPORT_H
#define BENCHREPORT_H

#include <algorithm>
#include <cstdio>
#include <vector>

// Prints the median and the fastest of a benchmark's rounds, in milliseconds.
inline void reportRounds(const char *what, std::vector<double> milliseconds)
{
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf("%-58s median %7.2f ms   fastest %7.2f ms\n", what,
                milliseconds[milliseconds.size() / 2], milliseconds.front());
}

#endif // BENCHREPORT_H
