#include "VelJsonModel.h"

#include <cmath>

QString VelJsonModel::textValue(const QVariant &value)
{
    if (value.metaType().id() == QMetaType::Double) {
        const double number = value.toDouble();
        if (std::isfinite(number) && number == std::floor(number) && std::fabs(number) < 9.0e15)
            return QString::number(qint64(number));
        return QString::number(number, 'g', 17);
    }
    return value.toString();
}
