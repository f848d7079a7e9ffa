#pragma once
// A test's own embedded database with BancoAtual() connected to it, a table Item whose columns have the
// field types a listing tells apart, a data grid over a record set of it, the window that owns the grid, and
// the desktop's opener replaced by one that records the files (and answers as told).

#include "ado/Recordset.h"
#include "desktop/DataGrid.h"
#include "support/ProgramFolder.h"

#include <QStringList>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

class ListingFixture : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void execute(const QString& statement);
    // Item rows: Codigo, Nome, Valor (money), Preco (float), Qtd (numeric), Dia and Hora (datetime), Texto, Oculta.
    void addItem(const QString& values);
    // Binds the grid (and `records`) to a client-side record set of the query.
    void bind(const QString& query);
    // Hides the grid's column of that field.
    void hide(const QString& field);

    test::ProgramFolder folder;
    QWidget window;
    desktop::DataGrid* grid = nullptr;  // owned by window
    std::shared_ptr<ADODB::Recordset> records;
    QStringList opened;
    bool openerTakesFiles = true;
};
