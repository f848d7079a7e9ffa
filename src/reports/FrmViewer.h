#pragma once
// The report preview window: the viewer control filling the window and a "Sair" button. It opens each report
// at the zoom the user last left for its name (per user), or the first time at a zoom from the screen's
// width and the paper's orientation, and saves the zoom in force whenever it closes.

#include <QWidget>
#include <memory>

class QPushButton;

namespace desktop {
class ReportViewer;
}
namespace reportengine {
class Report;
}

class FrmViewer : public QWidget {
    Q_OBJECT

public:
    explicit FrmViewer(QWidget* parent = nullptr);
    ~FrmViewer() override;

    // A new window showing the report, modal (returns when it closes) or modeless (returns at once and
    // deletes itself when closed). An empty caption keeps "Impressão".
    static FrmViewer* preview(std::shared_ptr<reportengine::Report> report, const QString& name, const QString& caption,
                              bool modal);

    // Set before the window loads, that is before it is shown or given a caption. A window without a
    // report loads empty.
    std::shared_ptr<reportengine::Report>& ViewerRPT();
    QString NomeRelatorio;
    bool Arvore = false;

    void setCaption(const QString& caption);
    short ZoomAtual() const { return m_zoomAtual; }
    desktop::ReportViewer& CrwReport() { return *m_viewer; }
    QPushButton& CmdSair() { return *m_sair; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    // The report shown; error 91 without one.
    reportengine::Report& report() const;
    short defaultZoom() const;

    std::shared_ptr<reportengine::Report> m_viewerRPT;
    std::shared_ptr<reportengine::Report> m_relatorio;
    desktop::ReportViewer* m_viewer;
    QPushButton* m_sair;
    short m_zoomAtual = 0;
    bool m_loaded = false;
};
