#include "startup/FrmSelBanco.h"

#include "core/Modulo.h"
#include "core/StartupSettings.h"
#include "desktop/WindowRoutines.h"
#include "runtime/App.h"
#include "runtime/Err.h"
#include "runtime/Ini.h"
#include "runtime/UiServices.h"
#include "runtime/UserSettings.h"

#include <QFrame>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int KeyRole = Qt::UserRole;

// Twips to pixels, as the window was laid out.
constexpr int px(int twips)
{
    return twips / 15;
}

// The connection index a section line names: "0" for "[Conexao]", n for "[Conexao<n>]" (the characters
// from the 9th on, less the last one, so trailing text after "]" gives an index that is no number).
QString sectionIndex(const QString& line)
{
    if (vb::Trim(line).size() == 9)
        return QStringLiteral("0");
    return vb::Mid(line, 9, std::max(0, int(line.size()) - 9));
}

}  // namespace

FrmSelBanco::FrmSelBanco(const vb::IniFile& config)
    : QWidget(nullptr, Qt::Dialog)
    , m_frame1(new QFrame(this))
    , m_lv1(new QTreeWidget(m_frame1))
    , m_cmdConectar(new QPushButton(QStringLiteral("Conectar"), this))
    , m_cmdTab(new QPushButton(this))
{
    setWindowTitle(QStringLiteral("Seleção (Banco de Dados)"));
    setFixedSize(px(5640), px(5175));

    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setFrameShape(QFrame::StyledPanel);
    m_frame1->setGeometry(px(120), px(120), px(5400), px(4275));
    auto* frameLayout = new QVBoxLayout(m_frame1);
    frameLayout->addWidget(m_lv1);

    m_lv1->setObjectName(QStringLiteral("Lv1"));
    m_lv1->setRootIsDecorated(false);
    m_lv1->setAllColumnsShowFocus(true);
    m_cmdConectar->setObjectName(QStringLiteral("CmdConectar"));
    m_cmdConectar->setGeometry(px(3960), px(4560), px(1560), px(495));
    // Below the visible area: reachable only by the focus chain.
    m_cmdTab->setObjectName(QStringLiteral("CmdTab"));
    m_cmdTab->setGeometry(px(120), px(6000), px(1095), px(375));

    connect(m_lv1, &QTreeWidget::itemPressed, this, [this] { m_toggledByClick = nullptr; });
    connect(m_lv1, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) {
        m_toggledByClick = item;
        Lv1_ItemCheck(item);
    });
    connect(m_lv1, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (item != m_toggledByClick)
            Lv1_ItemClick(item);
        m_toggledByClick = nullptr;
    });
    connect(m_cmdConectar, &QPushButton::clicked, this, [this] { CmdConectar_Click(); });
    connect(m_cmdTab, &QPushButton::clicked, this, [this] { CmdTab_Click(); });
    // The window sees Esc before its controls do.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    CarregaConexoes(config);
}

void FrmSelBanco::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    activateWindow();
    // Activation runs once the window is up and its modal loop is waiting, so that closing ends that loop.
    QTimer::singleShot(0, this, [this] { Form_Activate(); });
}

void FrmSelBanco::Form_Activate()
{
    if (m_lv1->topLevelItemCount() == 1)
        close();
}

void FrmSelBanco::CarregaConexoes(const vb::IniFile& config)
{
    m_lv1->setHeaderLabels({QStringLiteral("Banco"), QStringLiteral("Servidor")});
    m_lv1->setColumnWidth(0, px(2500));

    const QString saved = vb::GetSetting(vb::App::Title, QStringLiteral("Conexao"), QStringLiteral("BancoPadrao"));
    {
        const QSignalBlocker quiet(m_lv1);
        for (const QString& line : config.sectionLines()) {
            if (vb::Left(vb::UCase(line), 8) != QLatin1String("[CONEXAO"))
                continue;
            const QString section = QString(line).remove(QLatin1Char('[')).remove(QLatin1Char(']'));
            const QString banco = config.value(section, QStringLiteral("Banco"));
            const QString servidor = config.value(section, QStringLiteral("Servidor"));
            auto* item = new QTreeWidgetItem(m_lv1, {banco, servidor});
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, Qt::Unchecked);
            item->setData(0, KeyRole, QStringLiteral("K") + sectionIndex(line));
        }
    }

    if (vb::IsNumeric(saved)) {
        const QString key = QStringLiteral("K") + saved;
        for (int i = 0; i < m_lv1->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = m_lv1->topLevelItem(i);
            if (item->data(0, KeyRole).toString() == key) {
                const QSignalBlocker quiet(m_lv1);
                m_lv1->setCurrentItem(item);
                item->setCheckState(0, Qt::Checked);
                m_lv1->scrollToItem(item);
                break;
            }
        }
    }
    Modulo::AjustaColunasListView(m_lv1);
}

void FrmSelBanco::Lv1_ItemClick(QTreeWidgetItem* item)
{
    {
        const QSignalBlocker quiet(m_lv1);
        item->setCheckState(0, Qt::Checked);
        m_lv1->setCurrentItem(item);
    }
    Lv1_ItemCheck(item);
}

void FrmSelBanco::Lv1_ItemCheck(QTreeWidgetItem* item)
{
    // Entries are told apart by their database name: another entry of the same name keeps its check.
    const QSignalBlocker quiet(m_lv1);
    for (int i = 0; i < m_lv1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* entry = m_lv1->topLevelItem(i);
        if (entry->text(0) != item->text(0))
            entry->setCheckState(0, Qt::Unchecked);
    }
}

void FrmSelBanco::CmdConectar_Click()
{
    for (int i = 0; i < m_lv1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* entry = m_lv1->topLevelItem(i);
        if (entry->checkState(0) != Qt::Checked)
            continue;
        Modulo::SecaoConexao = entry->data(0, KeyRole).toString().remove(QLatin1Char('K'));
        vb::SaveSetting(vb::App::Title, QStringLiteral("Conexao"), QStringLiteral("BancoPadrao"),
                        Modulo::SecaoConexao);
        close();
        return;
    }
    vb::Ui().MsgBox(QStringLiteral("Nenhum banco de dados foi selecionado! O sistema será fechado."),
                    vb::vbInformation);
    m_endRequested = true;
    close();
}

void FrmSelBanco::CmdTab_Click()
{
    Modulo::PressionaTecla(9);
}
