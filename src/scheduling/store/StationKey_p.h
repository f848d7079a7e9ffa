#pragma once
// A station code as the plant's columns compare it (ASCII letters without regard to case): the key of what a
// run remembers per station.

#include <QString>

namespace scheduling {

QString stationKey(const QString& Posto);

}  // namespace scheduling
