#include "AppSettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

void AppSettings::identifyProgram()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Halvexa"));
    QCoreApplication::setApplicationName(QStringLiteral("Pelidor 7 Interactive"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PELIDOR7_VERSION));
}

AppSettings::~AppSettings()
{
    settings.sync();
    constexpr QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
    const QFileInfo file(settings.fileName());
    if (file.isFile() && (file.permissions() & ~(ownerOnly | QFile::ReadUser | QFile::WriteUser)))
        QFile::setPermissions(file.filePath(), ownerOnly);
}

bool AppSettings::isReadable() const
{
    return settings.status() != QSettings::AccessError;
}

bool AppSettings::isWritable()
{
    const QStringList keys = settings.allKeys();
    if (!keys.isEmpty())
        settings.setValue(keys.first(), settings.value(keys.first()));
    return commit();
}

bool AppSettings::writeFirstRunDefaults()
{
    if (!isReadable() || settings.contains(QLatin1String(superPasswordKey)))
        return false;
    settings.setValue(QLatin1String(superPasswordKey), QLatin1String(firstRunPassword));
    settings.setValue(QLatin1String(maxJobKey), 0);
    return true;
}

QString AppSettings::superPassword() const
{
    return settings.value(QLatin1String(superPasswordKey)).toString();
}

void AppSettings::setSuperPassword(const QString &password)
{
    settings.setValue(QLatin1String(superPasswordKey), password);
}

bool AppSettings::replaceSuperPassword(const QString &password)
{
    const QString key = QLatin1String(superPasswordKey);
    const QVariant old = settings.value(key);
    setSuperPassword(password);
    return commitOrRestore({ key }, { old });
}

bool AppSettings::hasPort() const
{
    return settings.contains(QLatin1String(portKey));
}

QString AppSettings::port() const
{
    QByteArray stored = settings.value(QLatin1String(portKey)).toByteArray();
    const int nul = stored.indexOf('\0');
    if (nul >= 0)
        stored.truncate(nul);
    return QString::fromUtf8(stored);
}

void AppSettings::setPort(const QString &name)
{
    settings.setValue(QLatin1String(portKey), name);
}

bool AppSettings::verifyAfterTransmit() const
{
    return settings.value(QLatin1String(verifyAfterTransmitKey), true).toBool();
}

void AppSettings::setVerifyAfterTransmit(bool on)
{
    settings.setValue(QLatin1String(verifyAfterTransmitKey), on);
}

bool AppSettings::hasBaudRate() const
{
    return settings.contains(QLatin1String(baudRateKey));
}

int AppSettings::baudRate() const
{
    return settings.value(QLatin1String(baudRateKey)).toInt();
}

void AppSettings::setBaudRate(int baud)
{
    settings.setValue(QLatin1String(baudRateKey), baud);
}

int AppSettings::supervisorTimeout() const
{
    return settings.value(QLatin1String(supervisorTimeoutKey), defaultSupervisorTimeout).toInt();
}

void AppSettings::setSupervisorTimeout(int minutes)
{
    settings.setValue(QLatin1String(supervisorTimeoutKey), minutes);
}

int AppSettings::maxJob() const
{
    return settings.value(QLatin1String(maxJobKey)).toInt();
}

void AppSettings::setMaxJob(int n)
{
    settings.setValue(QLatin1String(maxJobKey), n);
}

int AppSettings::nextJobNumber() const
{
    // Compared before adding, so the largest int stored by hand cannot overflow.
    const int highest = maxJob();
    return highest < highestJobNumber ? highest + 1 : highestJobNumber;
}

QString AppSettings::jobKey(int n, const char *field)
{
    return QStringLiteral("jobs/%1/%2").arg(n, 3, 10, QLatin1Char('0')).arg(QLatin1String(field));
}

bool AppSettings::isJobListed(int n) const
{
    return settings.contains(jobKey(n, "desc"));
}

bool AppSettings::isJobSaved(int n) const
{
    return settings.contains(jobKey(n, "aiMode"));
}

AppSettings::Job AppSettings::job(int n) const
{
    Job job;
    job.description = settings.value(jobKey(n, "desc")).toString();
    job.path = settings.value(jobKey(n, "path")).toString();
    job.aiMode = settings.value(jobKey(n, "aiMode")).toInt();
    job.dispenseMode = settings.value(jobKey(n, "dispenseMode")).toInt();
    job.startCell = settings.value(jobKey(n, "startMemCell")).toInt();
    job.endCell = settings.value(jobKey(n, "endMemCell")).toInt();
    return job;
}

void AppSettings::saveJob(int n, const Job &job)
{
    settings.setValue(jobKey(n, "desc"), job.description);
    settings.setValue(jobKey(n, "path"), job.path);
    settings.setValue(jobKey(n, "aiMode"), job.aiMode);
    settings.setValue(jobKey(n, "dispenseMode"), job.dispenseMode);
    settings.setValue(jobKey(n, "startMemCell"), job.startCell);
    settings.setValue(jobKey(n, "endMemCell"), job.endCell);
}

bool AppSettings::storeJob(int n, const Job &job)
{
    QStringList keys = { QLatin1String(maxJobKey) };
    for (const char *field :
         { "desc", "path", "aiMode", "dispenseMode", "startMemCell", "endMemCell" })
        keys << jobKey(n, field);
    QList<QVariant> oldValues;
    for (const QString &key : qAsConst(keys))
        oldValues << settings.value(key);
    saveJob(n, job);
    if (maxJob() < n)
        setMaxJob(n);
    return commitOrRestore(keys, oldValues);
}

bool AppSettings::commit()
{
    settings.sync();
    return settings.status() == QSettings::NoError;
}

// QSettings keeps what it could not write, and every object of the process
// reads that: the old values must go back there, or the run would act on
// what was never stored.
bool AppSettings::commitOrRestore(const QStringList &keys, const QList<QVariant> &oldValues)
{
    if (commit())
        return true;
    for (int i = 0; i < keys.size(); ++i) {
        if (oldValues[i].isValid())
            settings.setValue(keys[i], oldValues[i]);
        else
            settings.remove(keys[i]);
    }
    settings.sync();
    return false;
}
