#include "comm/ServicePassword.h"

namespace {

// Digits only, whatever the system's locale: the password must not depend on
// how the station's desktop writes dates.
QString TwoDigits(int v) { return QString::number(v).rightJustified(2, QLatin1Char('0')); }
QString FourDigits(int v) { return QString::number(v).rightJustified(4, QLatin1Char('0')); }

}  // namespace

QString ServicePassword::For(int mode, const QDate& day)
{
    if (!day.isValid()) return {};
    const QString dd = TwoDigits(day.day());
    const QString mm = TwoDigits(day.month());
    const QString yyyy = FourDigits(day.year());
    switch (mode) {
    // Product code first, then the date from the year down: KD4M20240315.
    case 0: return QStringLiteral("KD4M") + yyyy + mm + dd;
    // The date from the day up, then the service mark: 15032024SRV2.
    case 1: return dd + mm + yyyy + QStringLiteral("SRV2");
    default: return {};
    }
}

bool ServicePassword::Accepts(int mode, const QDate& day, const QString& typed)
{
    const QString expected = For(mode, day);
    return !expected.isEmpty() && typed == expected;
}
