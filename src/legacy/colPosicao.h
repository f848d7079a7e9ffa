#pragma once
// The positions of one work order, keyed by their Auto written in decimal.

#include "legacy/KeyedCollection.h"
#include "legacy/clsPosicao.h"

class colPosicao : public legacy::KeyedCollection<clsPosicao> {
public:
    // Raises 457 when a position with that Auto is already in.
    std::shared_ptr<clsPosicao> Add(std::shared_ptr<clsOS> OS, std::int32_t Auto, const QString& Desenho, double Quant,
                                    std::int32_t Etapa);
    std::shared_ptr<clsPosicao> Item(std::int32_t Auto) const;
    void Remove(std::int32_t Auto);
    // Lets every position go (and with them their hold on the work order).
    void Clear() { KeyedCollection::Clear(); }
};
