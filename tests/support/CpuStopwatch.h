#ifndef CPUSTOPWATCH_H
#define CPUSTOPWATCH_H

#include <QtGlobal>

#include <sys/resource.h>

// The whole process's CPU time (user and system, all threads) in
// milliseconds. A program waiting on a silent line sleeps: it adds little.
inline qint64 processCpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &time) {
        return qint64(time.tv_sec) * 1000 + time.tv_usec / 1000;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

#endif // CPUSTOPWATCH_H
