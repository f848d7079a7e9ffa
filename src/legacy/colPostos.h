#pragma once
// The stations of one company, keyed by their code (Item and Remove take the code or a position).

#include "legacy/KeyedCollection.h"
#include "legacy/clsPostos.h"

class colPostos : public legacy::KeyedCollection<clsPostos> {
public:
    std::int32_t Empresa = 0;

    // Stores the station under Codigo (457 when the code is in), then builds its periods for the window.
    void Add(const QString& Codigo, const QString& Descricao, std::uint8_t Tipo, const clsPeriodo& Periodo);
};
