#ifndef PASSWORDCHANGE_H
#define PASSWORDCHANGE_H

#include <QString>

// The rules of changing the supervisor password.
namespace PasswordChange {

enum Result { Accepted, WrongPassword, Mismatch, NotFourDigits };

// The current password is checked first (an empty stored one matches nothing), then the
// confirmation, then the form of the new password: exactly four digits, which the dialog and the
// dispenser's lockout commands can carry.
Result check(const QString &current, const QString &newPassword, const QString &confirmation,
             const QString &stored);

// What the user is told; empty for Accepted.
QString message(Result result);

} // namespace PasswordChange

#endif // PASSWORDCHANGE_H
