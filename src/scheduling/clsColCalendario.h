#pragma once
// The free working periods of every station, one clsPostoCalendario per station code (codes compare
// without regard to case, as the station table's do).

#include "scheduling/clsPostoCalendario.h"

#include <QHash>
#include <QString>
#include <memory>

class clsColCalendario {
public:
    // Replaces the station's entry by a new one built over the window. The old entry goes first: when the
    // build fails, the station is left without one. Always true.
    bool Add(const QString& Posto, const clsPeriodo& Periodo);

    // The station's entry; a station without one raises error 5 (invalid procedure call or argument).
    // The entry stays valid for its holder when the station is rebuilt meanwhile.
    std::shared_ptr<const clsPostoCalendario> PostoCalendario(const QString& Posto) const;

private:
    QHash<QString, std::shared_ptr<const clsPostoCalendario>> m_postos;
};
