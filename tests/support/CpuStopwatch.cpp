#include "CpuStopwatch.h"

#include <sys/resource.h>

CpuStopwatch::CpuStopwatch() : cpuAtStart(processCpuMs())
{
    wall.start();
}

qint64 CpuStopwatch::processCpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto milliseconds = [](const timeval &time) {
        return qint64(time.tv_sec) * 1000 + qint64(time.tv_usec) / 1000;
    };
    return milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime);
}
