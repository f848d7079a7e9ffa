#pragma once
// Whole plants built with PlantBuilder: a small demo a newcomer can load, and generated plants of any
// size for benchmarks. Both expect a new database file (or one without plant rows yet).

#include <QDate>
#include <QString>

namespace schema {

struct PlantSize {
    int stations = 20;
    int groups = 4;
    int workOrders = 100;
    int positionsPerOrder = 3;
    int operationsPerPosition = 4;
    int months = 3;   // calendar rows from firstDay on
    QDate firstDay;   // the first calendar day and the work orders' date; invalid: today
};

// One company, three machine groups with two stations each, a day shift (all stations) and a night shift
// (the lasers), two months of calendar, and twelve queued work orders whose parts are cut, bent and
// welded. Dates start at firstDay (invalid: today).
void buildDemoPlant(const QString& path, QDate firstDay = {});

// A plant of the given size with every work order queued; the same size and seed give the same rows.
void generatePlant(const QString& path, const PlantSize& size, quint32 seed);

}  // namespace schema
