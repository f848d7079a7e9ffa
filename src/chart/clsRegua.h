#pragma once
// The chart's time scale: what the chart shows, as plain fields.

#include <cstdint>

class clsRegua {
public:
    // The start and the end of the data window around the chart's view, as date serials.
    double MomentoMin = 0;
    double MomentoMax = 0;
    std::int32_t NivelZoom = 0;
};

// The time scale of the chart, for the whole run.
extern clsRegua ReguaAtual;
