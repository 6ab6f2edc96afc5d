#include "PasswordChange.h"

#include <QRegularExpression>

namespace PasswordChange {

Result check(const QString &current, const QString &newPassword, const QString &confirmation,
             const QString &stored)
{
    static const QRegularExpression fourDigits(QStringLiteral("\\A[0-9]{4}\\z"));
    // No stored password (none, or a store that cannot be read) matches nothing.
    if (stored.isEmpty() || current != stored)
        return WrongPassword;
    if (newPassword != confirmation)
        return Mismatch;
    if (!fourDigits.match(newPassword).hasMatch())
        return NotFourDigits;
    return Accepted;
}

QString message(Result result)
{
    switch (result) {
    case WrongPassword:
        return QStringLiteral("Wrong password.");
    case Mismatch:
        return QStringLiteral("Confirmation does not match");
    case NotFourDigits:
        return QStringLiteral("The new password must be exactly four digits.");
    default:
        return QString();
    }
}

} // namespace PasswordChange
