#pragma once
// The report viewer control: shows a report's pages one at a time at a zoom level, with page navigation, an
// optional tree of the report's groups that jumps to their pages, and the print and export buttons.

#include <QWidget>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QScrollArea;
class QTreeWidget;
class QToolBar;
class QTreeWidgetItem;

namespace reportengine {
class Report;
}

namespace desktop {

class ReportPageView;

class ReportViewer : public QWidget {
    Q_OBJECT

public:
    explicit ReportViewer(QWidget* parent = nullptr);
    ~ReportViewer() override;

    void setReportSource(std::shared_ptr<reportengine::Report> report);
    std::shared_ptr<reportengine::Report> ReportSource() const { return m_report; }
    // Runs the report (reading its records when needed) and shows its first page. Errors of the report
    // reach the caller.
    void ViewReport();

    void setDisplayGroupTree(bool display);
    bool DisplayGroupTree() const { return m_displayGroupTree; }

    // The zoom as a percentage (10 to 400); a change emits ZoomChanged.
    void Zoom(int level);
    int zoomLevel() const;

    void ShowFirstPage();
    void ShowPreviousPage();
    void ShowNextPage();
    void ShowLastPage();
    void ShowNthPage(int page);  // 1-based
    int currentPage() const;     // 1-based; 0 without pages
    int pageCount() const { return m_pageCount; }

    QTreeWidget* groupTree() const { return m_tree; }
    // Puts a control of the window that holds the viewer at the right end of the tool bar (a narrow
    // window moves it, as the other tools, behind the tool bar's extension button).
    void addTrailingWidget(QWidget* widget);

signals:
    void ZoomChanged(int level);

private:
    void fillGroupTree();
    void updateState();
    void printReport();
    void exportReport();
    void zoomEntered();

    std::shared_ptr<reportengine::Report> m_report;
    bool m_displayGroupTree = false;
    int m_pageCount = 0;
    QToolBar* m_tools;
    ReportPageView* m_page;
    QScrollArea* m_scroll;
    QTreeWidget* m_tree;
    QComboBox* m_zoom;
    QLabel* m_pageLabel;
    QAction* m_first;
    QAction* m_previous;
    QAction* m_next;
    QAction* m_last;
    QAction* m_print;
    QAction* m_export;
};

}  // namespace desktop
