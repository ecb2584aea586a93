#include "link/DeviceBinding.h"
#include <QCollator>
#include <QFileInfo>
#include <algorithm>

namespace {
int DeviceRank(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    if (name.startsWith(QLatin1String("ttyUSB")) || name.startsWith(QLatin1String("ttyACM")))
        return 0;
    if (name.startsWith(QLatin1String("ttyS")))
        return 1;
    return 2;
}
}

QStringList OrderSerialDevices(const QStringList& devices)
{
    QStringList ordered = devices;
    QCollator natural(QLocale::c());
    natural.setNumericMode(true);
    std::stable_sort(ordered.begin(), ordered.end(), [&](const QString& a, const QString& b) {
        const int ra = DeviceRank(a), rb = DeviceRank(b);
        if (ra != rb)
            return ra < rb;
        return natural.compare(a, b) < 0;
    });
    return ordered;
}

QString BindDevice(int n, const QString& envValue, const QStringList& ordered, bool windows)
{
    if (!envValue.isEmpty())
        return envValue;
    if (windows)
        return QStringLiteral("COM%1").arg(n);
    if (n >= 1 && n <= ordered.size())
        return ordered.at(n - 1);
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
}
