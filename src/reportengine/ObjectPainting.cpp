#include "reportengine/ObjectPainting_p.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

namespace reportengine {

namespace {

int textFlags(const ObjectSpec& object)
{
    return int(object.align) | Qt::AlignTop | (object.canGrow ? Qt::TextWordWrap : Qt::TextSingleLine);
}

}  // namespace

QFont objectFont(const FontSpec& spec)
{
    QFont font(spec.family);
    font.setPixelSize(std::max(1, int(std::lround(spec.size * 20))));
    font.setBold(spec.bold);
    font.setItalic(spec.italic);
    return font;
}

int textHeight(const ObjectSpec& object, const QString& text)
{
    const QFontMetricsF metrics(objectFont(object.font));
    const QRectF bounds = metrics.boundingRect(QRectF(0, 0, object.box.width(), 1e7), textFlags(object), text);
    return std::max(object.box.height(), int(std::ceil(bounds.height())));
}

void paintObject(QPainter& painter, const ObjectSpec& object, const QString& text, QPoint origin, int bandHeight)
{
    const QRect box = object.box.translated(origin);
    switch (object.kind) {
    case ObjectKind::Text:
    case ObjectKind::Field: {
        if (text.isEmpty())
            return;
        QRect area = box;
        if (object.canGrow)
            area.setBottom(origin.y() + bandHeight);
        painter.setFont(objectFont(object.font));
        painter.setPen(Qt::black);
        painter.drawText(area, textFlags(object), text);
        return;
    }
    case ObjectKind::Line:
        painter.setPen(QPen(Qt::black, object.lineWidth));
        painter.drawLine(box.topLeft(), QPoint(box.left() + object.box.width(), box.top() + object.box.height()));
        return;
    case ObjectKind::Box:
        painter.setPen(QPen(Qt::black, object.lineWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box);
        return;
    case ObjectKind::Subreport:
        return;
    }
}

}  // namespace reportengine
