#pragma once
// The working periods of one station, without keys, in insertion order until sorted; positions from 1
// (9 Subscript out of range past the end).

#include "scheduling/clsPeriodo.h"

#include <cstdint>
#include <vector>

class colTurnos {
public:
    void Add(const clsPeriodo& Periodo) { m_periodos.push_back(Periodo); }
    clsPeriodo& Item(std::int32_t Indice);
    std::int32_t Count() const { return std::int32_t(m_periodos.size()); }
    void Remove(std::int32_t Indice);

    auto begin() const { return m_periodos.begin(); }
    auto end() const { return m_periodos.end(); }

    // Sorts by start; equal starts keep their order.
    void Ordena();
    // Merges each period with the following ones it overlaps; the periods must be sorted.
    void Junta();

private:
    std::size_t indexOf(std::int32_t Indice) const;

    std::vector<clsPeriodo> m_periodos;
};
