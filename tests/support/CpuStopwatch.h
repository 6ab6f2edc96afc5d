#ifndef CPUSTOPWATCH_H
#define CPUSTOPWATCH_H

#include <QElapsedTimer>

// Wall-clock time and the whole process's CPU time (user and system, all
// threads) since construction. A window waiting on a silent serial line
// should sleep: its CPU time stays far below the wall-clock time.
class CpuStopwatch
{
public:
    CpuStopwatch();

    qint64 elapsedMs() const { return wall.elapsed(); }
    qint64 cpuMs() const { return processCpuMs() - cpuAtStart; }

private:
    static qint64 processCpuMs();

    QElapsedTimer wall;
    qint64 cpuAtStart;
};

#endif // CPUSTOPWATCH_H
