#pragma once
// One page of a report at a zoom level, painted on demand: only the part of the page a paint event exposes
// is drawn, and only the page shown is ever laid out on screen.

#include <QWidget>
#include <memory>

namespace reportengine {
class Report;
}

namespace desktop {

class ReportPageView : public QWidget {
    Q_OBJECT

public:
    explicit ReportPageView(QWidget* parent = nullptr);

    void setReport(std::shared_ptr<reportengine::Report> report);
    void setPage(int index);  // 0-based
    int page() const { return m_page; }
    void setZoom(int percent);
    int zoom() const { return m_zoom; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Device pixels per twip at the current zoom.
    double scale() const;

    std::shared_ptr<reportengine::Report> m_report;
    int m_page = 0;
    int m_zoom = 100;
};

}  // namespace desktop
