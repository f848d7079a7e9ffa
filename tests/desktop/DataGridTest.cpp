#include "desktop/DataGrid.h"

#include "ado/Connection.h"
#include "ado/Recordset.h"
#include "core/DBFunc.h"
#include "support/ErrorNumber.h"
#include "support/ModelDatabase.h"
#include "support/Printing.h"
#include "support/ProgramFolder.h"

#include <QDir>
#include <QHeaderView>
#include <QTableView>
#include <gtest/gtest.h>

namespace {

class DataGridTest : public testing::Test {
protected:
    void SetUp() override
    {
        test::installModelDatabase();
        QDir(folder.path()).mkpath("Dados");
        ASSERT_TRUE(db.CriaBanco(0, "sqlite:Dados", "Teste", "sa", ""));
        ASSERT_EQ(db.AbreConexao(0, false, 1, "sqlite:Dados", "Teste", "sa", ""), 1);
        ASSERT_TRUE(db.ExecutaComando("CREATE TABLE Peca (Codigo INT, Nome VARCHAR(40), Valor MONEY, "
                                      "Entrega DATETIME)"));
        for (const char* row : {"1, 'Eixo', 1234.5, '2026-12-05 00:00:00'", "2, 'Flange', 80, '2026-12-06 14:30:00'",
                                "3, 'Bucha', NULL, NULL"})
            ASSERT_TRUE(db.ExecutaComando(QString("INSERT INTO Peca VALUES (%1)").arg(row)));
        records = std::make_shared<ADODB::Recordset>();
        records->setCursorLocation(ADODB::adUseClient);
        records->Open("SELECT Codigo, Nome, Valor, Entrega FROM Peca ORDER BY Codigo", db.VariavelADODBConnection(),
                      ADODB::adOpenStatic, ADODB::adLockReadOnly);
        grid.setDataSource(records);
        view = grid.findChild<QTableView*>();
        ASSERT_NE(view, nullptr);
    }

    QString text(int row, int column) const { return view->model()->index(row, column).data().toString(); }
    Qt::Alignment alignment(int row, int column) const
    {
        return Qt::Alignment(view->model()->index(row, column).data(Qt::TextAlignmentRole).toInt())
               & Qt::AlignHorizontal_Mask;
    }

    test::ProgramFolder folder;
    DBFunc db;
    std::shared_ptr<ADODB::Recordset> records;
    desktop::DataGrid grid;
    QTableView* view = nullptr;
};

TEST_F(DataGridTest, ABoundGridShowsTheRowsUnderAColumnPerField)
{
    desktop::DataGridColumns& columns = grid.Columns();
    ASSERT_EQ(columns.Count(), 4);
    EXPECT_EQ(columns.Item(1).Caption(), "Nome");
    EXPECT_EQ(columns.Item(3).DataField(), "Entrega");
    EXPECT_EQ(grid.DataSource(), records);
    EXPECT_EQ(records->AbsolutePosition(), 1) << "the record set stays on its first row";

    ASSERT_EQ(view->model()->rowCount(), 3);
    EXPECT_EQ(view->model()->headerData(1, Qt::Horizontal).toString(), "Nome");
    EXPECT_EQ(text(0, 0), "1");
    EXPECT_EQ(text(1, 1), "Flange");
    EXPECT_EQ(text(0, 2), "1234,5");
    EXPECT_EQ(text(0, 3), "05/12/2026");
    EXPECT_EQ(text(1, 3), "06/12/2026 14:30:00");
    EXPECT_EQ(text(2, 2), "") << "Null shows nothing";
    EXPECT_EQ(alignment(0, 0), Qt::AlignRight) << "general alignment puts numbers right";
    EXPECT_EQ(alignment(0, 1), Qt::AlignLeft);

    for (int c = 0; c < 4; ++c) {
        EXPECT_GT(columns.Item(c).Width(), view->fontMetrics().horizontalAdvance(columns.Item(c).Caption()) * 15);
        EXPECT_EQ(view->columnWidth(c), qRound(columns.Item(c).Width() / 15));
    }
}

TEST_F(DataGridTest, ColumnPropertiesChangeWhatTheViewShows)
{
    desktop::DataGridColumns& columns = grid.Columns();
    columns.Item(2).setNumberFormat("Currency");
    columns.Item(2).setAlignment(2);
    columns.Item(3).setNumberFormat("dd/mm/yyyy hh:nn");
    EXPECT_EQ(text(0, 2), "R$ 1.234,50");
    EXPECT_EQ(alignment(0, 2), Qt::AlignHCenter);
    EXPECT_EQ(text(1, 3), "06/12/2026 14:30");
    columns.Item(0).setAlignment(0);
    EXPECT_EQ(alignment(0, 0), Qt::AlignLeft);

    columns.Item(1).setVisible(false);
    EXPECT_TRUE(view->isColumnHidden(1));
    columns.Item(1).setVisible(true);
    EXPECT_FALSE(view->isColumnHidden(1));
    columns.Item(1).setWidth(3000);
    EXPECT_EQ(view->columnWidth(1), 200);
    columns.Item(1).setCaption("Peça");
    EXPECT_EQ(view->model()->headerData(1, Qt::Horizontal).toString(), "Peça");
    columns.Item(0).setDataField("nome");
    EXPECT_EQ(text(0, 0), "Eixo") << "fields are found without regard to case";

    EXPECT_EQ(test::errorNumber([&] { columns.Item(0).setAlignment(4); }), 380);
    EXPECT_EQ(test::errorNumber([&] { columns.Item(4); }), 9);
    desktop::DataGridColumn& added = columns.Add();
    EXPECT_EQ(columns.Count(), 5);
    EXPECT_EQ(view->model()->columnCount(), 5);
    EXPECT_EQ(text(0, 4), "") << "a column without a field shows nothing";
    added.setDataField("Codigo");
    EXPECT_EQ(text(2, 4), "3");

    ASSERT_TRUE(db.ExecutaComando("INSERT INTO Peca VALUES (4, 'Mola', 2, NULL)"));
    records->Close();
    records->Open("SELECT Codigo, Nome, Valor, Entrega FROM Peca ORDER BY Codigo", db.VariavelADODBConnection(),
                  ADODB::adOpenStatic, ADODB::adLockReadOnly);
    grid.Refresh();
    EXPECT_EQ(view->model()->rowCount(), 4);
    EXPECT_EQ(columns.Count(), 5) << "columns of its own stay";
    EXPECT_EQ(text(3, 1), "Mola");
}

}  // namespace
