#pragma once
// How one report object is drawn and measured, in twips. Fonts are sized in pixels of the painter's
// coordinates (a point is 20 twips), so that text measures the same on every device.

#include "reportengine/Layout_p.h"

#include <QFont>
#include <QPoint>

class QPainter;

namespace reportengine {

QFont objectFont(const FontSpec& font);

// The height a "can grow" field needs for its text, wrapped at the object's width.
int textHeight(const ObjectSpec& object, const QString& text);

// Draws an object of a section placed at `origin`; a "can grow" field reaches down to the band's height.
void paintObject(QPainter& painter, const ObjectSpec& object, const QString& text, QPoint origin, int bandHeight);

}  // namespace reportengine
