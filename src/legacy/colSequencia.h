#pragma once
// Operations, each under an optional key; one added without a key is reached by its position only.

#include "legacy/KeyedCollection.h"
#include "legacy/clsSequencia.h"

#include <QString>

class colSequencia : public legacy::KeyedCollection<clsSequencia> {
public:
    // Raises 457 when sKey is already in use.
    std::shared_ptr<clsSequencia> Add(std::int32_t Sequencia, std::shared_ptr<clsPostos> Posto, double TempoProgramado,
                                      double TempoPreparo, const QString& sKey = {});
};
