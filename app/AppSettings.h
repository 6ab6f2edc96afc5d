#ifndef APPSETTINGS_H
#define APPSETTINGS_H

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>

// The program's persistent settings: every key the program uses, with a
// typed accessor each, so that no key is ever spelt twice. Opened as a local
// object where a routine needs the store, closed when it goes out of scope;
// the file, which holds the supervisor password, is left readable by its
// owner only.
class AppSettings
{
public:
    AppSettings() = default;
    ~AppSettings();
    AppSettings(const AppSettings &) = delete;
    AppSettings &operator=(const AppSettings &) = delete;

    static constexpr const char *superPasswordKey = "SuperPassword";
    static constexpr const char *portKey = "COMport";
    static constexpr const char *baudRateKey = "baudeRate";
    static constexpr const char *maxJobKey = "jobs/maxJob";
    static constexpr const char *supervisorTimeoutKey = "supervisorTimeoutMinutes";
    static constexpr const char *verifyAfterTransmitKey = "verifyAfterTransmit";

    static constexpr const char *firstRunPassword = "5183";
    static constexpr const char *firstRunPort = "COM4";
    static constexpr int firstRunBaudRate = 115200;
    static constexpr int defaultSupervisorTimeout = 15; // minutes
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

    // Whether the store could be read when this object opened it, and
    // whether it takes a write (tried by writing a stored key back as it is).
    bool isReadable() const;
    bool isWritable();
    QString fileName() const { return settings.fileName(); }

    // Writes the first-run password and job count when the store has no
    // password; true when it did. A store that cannot be read may hold one:
    // nothing is written then.
    bool writeFirstRunDefaults();

    // Empty when none is stored or the store cannot be read.
    QString superPassword() const;
    void setSuperPassword(const QString &password);
    // Stores the password for good; false, with the old one still in force in
    // this run too, when the store cannot be written.
    bool replaceSuperPassword(const QString &password);

    // The stored port name, up to a NUL byte if it was stored as a C string.
    bool hasPort() const;
    QString port() const;
    void setPort(const QString &name);
    bool hasBaudRate() const;
    int baudRate() const;
    void setBaudRate(int baud);

    // Minutes without input after which Supervisor mode ends; 0: never.
    int supervisorTimeout() const;
    void setSupervisorTimeout(int minutes);
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
    // Saves the job and raises the highest job number for good; false, with
    // the store as it was in this run too, when it cannot be written.
    bool storeJob(int n, const Job &job);

    // Writes everything to the store now; false when it cannot be written.
    bool commit();

private:
    static QString jobKey(int n, const char *field);
    // Writes the keys now; when the store takes nothing, puts their old
    // values back into what this run reads, and answers false.
    bool commitOrRestore(const QStringList &keys, const QList<QVariant> &oldValues);

    QSettings settings;
};

#endif // APPSETTINGS_H
