#pragma once
// A position of a work order in the older object model (a CadPos row).

#include <QString>
#include <cstdint>
#include <memory>

class clsOS;

class clsPosicao {
public:
    std::int32_t Auto = 0;  // CadPos.Auto
    QString Desenho;        // CadPos.Bruta
    std::int32_t Etapa = 0;
    double Quant = 0;
    // The work order that holds the position, kept alive by it as the platform's reference kept it: a
    // position still held reads its work order after every other holder let it go.
    std::shared_ptr<clsOS> OS;
};
