#pragma once
// A position of a work order in the older object model (a CadPos row).

#include <QString>
#include <cstdint>

class clsOS;

class clsPosicao {
public:
    std::int32_t Auto = 0;  // CadPos.Auto
    QString Desenho;        // CadPos.Bruta
    std::int32_t Etapa = 0;
    double Quant = 0;
    clsOS* OS = nullptr;  // the work order that holds the position
};
