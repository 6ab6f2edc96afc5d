#ifndef APPSETTINGS_H
#define APPSETTINGS_H

#include <QSettings>
#include <QString>

// The program's persistent settings: every key the program uses, with a
// typed accessor each, so that no key is ever spelt twice. Opened as a local
// object where a routine needs the store, closed when it goes out of scope.
class AppSettings
{
public:
    static constexpr const char *superPasswordKey = "SuperPassword";
    static constexpr const char *portKey = "COMport";
    static constexpr const char *baudRateKey = "baudeRate";
    static constexpr const char *maxJobKey = "jobs/maxJob";
    static constexpr const char *verifyAfterTransmitKey = "verifyAfterTransmit";

    static constexpr const char *firstRunPassword = "5183";
    static constexpr const char *firstRunPort = "COM4";
    static constexpr int firstRunBaudRate = 115200;
    // Job numbers the dialogs offer; the job list shows 1 up to this.
    static constexpr int highestJobNumber = 100;

    // A job as saved: the profile file it names and the panel's settings.
    struct Job
    {
        QString description;
        QString path;
        int aiMode = 0;
        int dispenseMode = 0;
        int startCell = 0;
        int endCell = 0;
    };

    // Names the program to Qt: its store is found under the organization and
    // program name, and --version and the window title show the version.
    static void identifyProgram();

    // Writes the first-run password and job count when the store has no
    // password; true when it did.
    bool writeFirstRunDefaults();

    QString superPassword() const;
    void setSuperPassword(const QString &password);

    // The stored port name, up to a NUL byte if it was stored as a C string.
    bool hasPort() const;
    QString port() const;
    void setPort(const QString &name);
    bool hasBaudRate() const;
    int baudRate() const;
    void setBaudRate(int baud);

    // Whether a transmission ends with its verification; on unless turned off.
    bool verifyAfterTransmit() const;
    void setVerifyAfterTransmit(bool on);

    int maxJob() const;
    void setMaxJob(int n);
    // The number Save Job proposes: the one after the highest saved, within
    // the numbers the dialog offers.
    int nextJobNumber() const;
    // A job is listed when it has a description, loadable when it has an AI mode.
    bool isJobListed(int n) const;
    bool isJobSaved(int n) const;
    Job job(int n) const;
    void saveJob(int n, const Job &job);

    // Writes everything to the store now; false when it cannot be written.
    bool commit();

private:
    static QString jobKey(int n, const char *field);

    QSettings settings;
};

#endif // APPSETTINGS_H
