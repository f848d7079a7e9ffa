#include "desktop/ReportPageView.h"

#include "reportengine/Report.h"

#include <QPaintEvent>
#include <QPainter>

namespace desktop {

ReportPageView::ReportPageView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ReportPageView::setReport(std::shared_ptr<reportengine::Report> report)
{
    m_report = std::move(report);
    m_page = 0;
    resize(sizeHint());
    update();
}

void ReportPageView::setPage(int index)
{
    m_page = index;
    update();
}

void ReportPageView::setZoom(int percent)
{
    m_zoom = percent;
    resize(sizeHint());
    update();
}

double ReportPageView::scale() const
{
    return m_zoom / 100.0 * logicalDpiX() / 1440.0;
}

QSize ReportPageView::sizeHint() const
{
    if (!m_report)
        return QSize(1, 1);
    const QSize twips = m_report->pageSizeTwips();
    return QSize(qRound(twips.width() * scale()), qRound(twips.height() * scale()));
}

void ReportPageView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::white);
    if (!m_report || m_report->PageCount() == 0)
        return;
    painter.setClipRect(event->rect());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale(), scale());
    try {
        m_report->paintPage(painter, m_page);
    } catch (const std::exception& error) {
        // A formula that fails on this page must not take the event loop down: the page shows why.
        painter.resetTransform();
        painter.setPen(Qt::red);
        painter.drawText(rect().adjusted(12, 12, -12, -12), Qt::TextWordWrap, QString::fromUtf8(error.what()));
    }
}

}  // namespace desktop
