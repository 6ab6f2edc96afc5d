#ifndef EXCHANGESCOPE_H
#define EXCHANGESCOPE_H

#include <QObject>

// Marks a device exchange of the window for as long as it lives. The flag it
// sets tells timers that would start another exchange to hold off; mouse and
// keyboard input meanwhile is dropped, so no click starts an exchange inside
// this one (except on `allowed`, the transmission's stop button). Closing
// the window still goes through.
class ExchangeScope : public QObject
{
public:
    ExchangeScope(bool &runningFlag, QObject *allowed = nullptr);
    ~ExchangeScope() override;
    ExchangeScope(const ExchangeScope &) = delete;
    ExchangeScope &operator=(const ExchangeScope &) = delete;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool isAllowed(QObject *target) const;

    bool &running;
    bool wasRunning;
    QObject *allowed;
};

#endif // EXCHANGESCOPE_H
