// Record sets on the embedded server: moving, positions and counts by cursor, fields, finding, GetRows,
// and rows written back with AddNew, Update and Delete.

#include "AdoFixture.h"

#include "runtime/Date.h"

using namespace ADODB;
using test::errorOf;

namespace {

class RecordsetTest : public test::AdoFixture {
protected:
    QString stationName(const QString& code) const
    {
        const auto rs = connect()->Execute("select Descricao from CadPosto where Codigo = '" + code + "'");
        return rs->adoEOF() ? QStringLiteral("<none>") : rs->Fields(0).Value().toString();
    }
    QString codeAt(Recordset& rs) const { return rs.Fields("Codigo").Value().toString(); }
};

const QString Stations = QStringLiteral("select Codigo, Descricao from CadPosto order by Codigo");

TEST_F(RecordsetTest, MovesThroughRowsAndKnowsWhereItIs)
{
    addStations(4);
    const auto rs = open(Stations, adUseClient, adOpenForwardOnly, adLockReadOnly);
    EXPECT_EQ(adOpenStatic, rs->CursorType());  // ADO makes every client-side cursor static
    EXPECT_EQ(4, rs->RecordCount());
    EXPECT_FALSE(rs->BOF());
    EXPECT_EQ(1, rs->AbsolutePosition());
    rs->MoveNext();
    EXPECT_EQ("P2", codeAt(*rs));
    rs->MoveLast();
    EXPECT_EQ(4, rs->AbsolutePosition());
    rs->MoveNext();
    EXPECT_TRUE(rs->adoEOF());
    EXPECT_EQ(adPosEOF, rs->AbsolutePosition());
    auto error = errorOf([&] { rs->MoveNext(); });
    ASSERT_TRUE(error);
    EXPECT_EQ(adErrNoCurrentRecord, error->number());
    EXPECT_EQ(
        "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a "
        "current record.",
        error->description());
    rs->MovePrevious();
    EXPECT_EQ("P4", codeAt(*rs));
    rs->MoveFirst();
    rs->MovePrevious();
    EXPECT_TRUE(rs->BOF());
    EXPECT_FALSE(rs->adoEOF());
    EXPECT_EQ(adErrNoCurrentRecord, errorOf([&] { rs->MovePrevious(); })->number());
    rs->MoveNext();
    EXPECT_EQ("P1", codeAt(*rs));

    const auto server = open(Stations, adUseServer, adOpenForwardOnly, adLockReadOnly);
    EXPECT_EQ(-1, server->RecordCount());
    EXPECT_EQ(adPosUnknown, server->AbsolutePosition());
    server->MoveNext();
    server->MoveFirst();
    EXPECT_EQ("P1", codeAt(*server));
    EXPECT_EQ(hresult::CannotFetchBackward, errorOf([&] { server->MovePrevious(); })->number());
    EXPECT_EQ(hresult::CannotFetchBackward, errorOf([&] { server->MoveLast(); })->number());

    EXPECT_EQ(4, open(Stations, adUseServer, adOpenKeyset, adLockOptimistic)->RecordCount());
    EXPECT_EQ(-1, open(Stations, adUseServer, adOpenDynamic, adLockOptimistic)->RecordCount());

    const auto empty = open("select * from CadPosto where 1 = 0", adUseClient, adOpenStatic, adLockReadOnly);
    EXPECT_TRUE(empty->BOF());
    EXPECT_TRUE(empty->adoEOF());
    EXPECT_EQ(0, empty->RecordCount());
    EXPECT_EQ(adErrNoCurrentRecord, errorOf([&] { empty->MoveFirst(); })->number());
}

TEST_F(RecordsetTest, FieldsAreFoundByNameOrPositionAndTypedByTheirColumns)
{
    addStations(1);
    cn->Execute(
        "INSERT INTO CadProgVorna (SeqAuto, Posto, Inicio, Fim) VALUES (7, 'P1', '2026-03-02 07:30:00', "
        "'2026-03-02 09:00:00')");
    const auto rs = open(
        "select p.Codigo, p.Tipo, p.RendMaq, p.inativo, v.Inicio, v.SeqAuto * 2 as Dobro from CadPosto "
        "p inner join CadProgVorna v on v.Posto = p.Codigo",
        adUseClient, adOpenStatic, adLockReadOnly);
    Fields& fields = rs->Fields();
    ASSERT_EQ(6, fields.Count());
    EXPECT_EQ("Codigo", fields.Item(0).Name());
    EXPECT_EQ(&fields.Item(1), &rs->Fields("TIPO"));
    EXPECT_EQ(adVarChar, rs->Fields("codigo").Type());
    EXPECT_EQ(10, rs->Fields("codigo").DefinedSize());
    EXPECT_EQ(adInteger, rs->Fields("Tipo").Type());
    EXPECT_EQ(adDouble, rs->Fields("RendMaq").Type());
    EXPECT_EQ(adBoolean, rs->Fields("inativo").Type());
    EXPECT_EQ(adDBTimeStamp, rs->Fields("Inicio").Type());
    EXPECT_EQ(vb::Variant(vb::Date(vb::DateSerial(2026, 3, 2).serial + vb::TimeSerial(7, 30, 0).serial)),
              rs->Fields("Inicio").Value());
    EXPECT_EQ(14, rs->Fields("Dobro").Value().toLong());

    auto error = errorOf([&] { rs->Fields("Nada"); });
    ASSERT_TRUE(error);
    EXPECT_EQ(adErrItemNotFound, error->number());
    EXPECT_EQ("ADODB.Recordset", error->source());
    EXPECT_EQ(adErrItemNotFound, errorOf([&] { rs->Fields(6); })->number());

    Field& code = rs->Fields("Codigo");
    rs->MoveNext();
    error = errorOf([&] { code.Value(); });
    ASSERT_TRUE(error);
    EXPECT_EQ(adErrNoCurrentRecord, error->number());
    EXPECT_EQ("ADODB.Field", error->source());
    rs->Close();
    EXPECT_EQ(adErrObjectClosed, errorOf([&] { code.Value(); })->number());
    EXPECT_EQ(adErrObjectClosed, errorOf([&] { rs->adoEOF(); })->number());
}

TEST_F(RecordsetTest, DecimalExpressionsAreNumericFieldsOfTheirPrecisionAndScale)
{
    const auto rs = open("select cast(2.5 as decimal(10,2)) as d, 10.00 / 4 as q, cast(1 as money) / 3 as m",
                         adUseClient, adOpenStatic, adLockReadOnly);
    EXPECT_EQ(adNumeric, rs->Fields("d").Type());
    EXPECT_EQ(10, rs->Fields("d").Precision());
    EXPECT_EQ(2, rs->Fields("d").NumericScale());
    EXPECT_EQ(vb::Variant(2.5), rs->Fields("d").Value());
    EXPECT_EQ(8, rs->Fields("q").Precision());
    EXPECT_EQ(6, rs->Fields("q").NumericScale());
    EXPECT_EQ(adCurrency, rs->Fields("m").Type());
    EXPECT_EQ(vb::Variant(vb::Currency{3333}), rs->Fields("m").Value());
}

TEST_F(RecordsetTest, AddNewWritesTheRowAndLearnsItsIdentity)
{
    const auto rs = open("CadProgVorna", adUseServer, adOpenDynamic, adLockOptimistic);
    const vb::Date start(vb::DateSerial(2026, 5, 4).serial + vb::TimeSerial(8, 0, 0).serial);
    rs->AddNew();
    EXPECT_EQ(adEditAdd, rs->EditMode());
    rs->Fields("SeqAuto").setValue("31");
    rs->Fields("Posto").setValue("P1");
    rs->Fields("Inicio").setValue(start);
    rs->Update();
    EXPECT_EQ(adEditNone, rs->EditMode());
    const vb::Variant autoKey = rs->Fields("Auto").Value();
    ASSERT_FALSE(autoKey.isNull());
    EXPECT_EQ(vb::Variant(31), rs->Fields("SeqAuto").Value());  // the value took the field's type

    const auto written =
        connect()->Execute("select SeqAuto, Inicio, Fim from CadProgVorna where Auto = " + autoKey.toString());
    ASSERT_FALSE(written->adoEOF());
    EXPECT_EQ(31, written->Fields("SeqAuto").Value().toLong());
    EXPECT_EQ(vb::Variant(start), written->Fields("Inicio").Value());
    EXPECT_TRUE(written->Fields("Fim").Value().isNull());
    // The connection's identity is the new row's, as an INSERT would leave it.
    EXPECT_EQ(autoKey.toLong(), cn->Execute("SELECT @@IDENTITY AS 'Identity'")->Fields("Identity").Value().toLong());

    rs->AddNew();
    rs->Fields("SeqAuto").setValue(32);
    rs->CancelUpdate();
    EXPECT_EQ(vb::Variant(31), rs->Fields("SeqAuto").Value());
    rs->AddNew();
    rs->Fields("Posto").setValue("P2");
    EXPECT_EQ(hresult::StatementError, errorOf([&] { rs->Update(); })->number());  // SeqAuto is NOT NULL
    EXPECT_EQ(adEditAdd, rs->EditMode());                                          // the failed row stays pending
    rs->CancelUpdate();
    EXPECT_EQ(1, cn->Execute("select count(*) from CadProgVorna")->Fields(0).Value().toLong());

    const auto names = open("CadCampo", adUseServer, adOpenDynamic, adLockOptimistic);
    names->AddNew();  // no value at all: the table's defaults
    names->Update();
    EXPECT_FALSE(names->Fields("Auto").Value().isNull());
    EXPECT_TRUE(names->Fields("Descricao").Value().isNull());
}

TEST_F(RecordsetTest, AServerSideTableReadsItsRowsOnlyWhenMovedThrough)
{
    addStations(3);
    const auto rs = open("CadPosto", adUseServer, adOpenKeyset, adLockOptimistic);
    rs->AddNew();
    rs->Fields("Codigo").setValue("P4");
    rs->Update();
    EXPECT_EQ(vb::Variant("P4"), rs->Fields("Codigo").Value());
    connect()->Execute("INSERT INTO CadPosto (Codigo) VALUES ('P5')");
    EXPECT_EQ(5, rs->RecordCount());  // read now: the rows of the table, the one added included
    EXPECT_EQ(4, rs->AbsolutePosition());
    rs->MoveFirst();
    EXPECT_EQ("P1", codeAt(*rs));
}

TEST_F(RecordsetTest, UpdateChangesTheCurrentRowOnly)
{
    addStations(3);
    const auto rs =
        open("SELECT TOP 1 * FROM CadPosto WHERE Codigo = 'P2'", adUseServer, adOpenDynamic, adLockOptimistic);
    rs->Fields("Descricao").setValue("Torno");
    EXPECT_EQ(adEditInProgress, rs->EditMode());
    EXPECT_EQ(vb::Variant("Torno"), rs->Fields("Descricao").Value());
    EXPECT_EQ(vb::Variant("Posto 2"), rs->Fields("Descricao").OriginalValue());
    EXPECT_EQ("Posto 2", stationName("P2"));
    rs->Update();
    EXPECT_EQ(vb::Variant("Torno"), rs->Fields("Descricao").OriginalValue());
    EXPECT_EQ("Torno", stationName("P2"));
    EXPECT_EQ("Posto 1", stationName("P1"));
    EXPECT_EQ("Posto 3", stationName("P3"));

    rs->Fields("Descricao").setValue("Fresa");
    rs->CancelUpdate();
    EXPECT_EQ(vb::Variant("Torno"), rs->Fields("Descricao").Value());

    EXPECT_EQ(hresult::MultipleStepErrors, errorOf([&] { rs->Fields("Tipo").setValue("abc"); })->number());
    EXPECT_EQ(hresult::MultipleStepErrors,
              errorOf([&] { rs->Fields("Descricao").setValue(QString(61, u'x')); })->number());

    // Moving on writes a pending change, as ADO's immediate mode does.
    const auto all = open(Stations, adUseClient, adOpenKeyset, adLockOptimistic);
    all->Fields("Descricao").setValue("Serra");
    all->MoveNext();
    EXPECT_EQ("Serra", stationName("P1"));
    all->Fields("Descricao").setValue("Dobra");
    EXPECT_EQ(adErrIllegalOperation, errorOf([&] { all->Close(); })->number());
    all->Update();
    EXPECT_EQ("Dobra", stationName("P2"));
}

TEST_F(RecordsetTest, DeleteRemovesTheRowAndLeavesNoCurrentRecord)
{
    addStations(3);
    const auto rs = open(Stations, adUseClient, adOpenKeyset, adLockOptimistic);
    rs->MoveNext();
    rs->Delete();
    EXPECT_EQ(adErrNoCurrentRecord, errorOf([&] { rs->Fields("Codigo").Value(); })->number());
    EXPECT_FALSE(rs->adoEOF());
    rs->MoveNext();
    EXPECT_EQ("P3", codeAt(*rs));
    EXPECT_EQ(2, rs->RecordCount());
    EXPECT_EQ("<none>", stationName("P2"));

    // A row another connection removed cannot be changed any more.
    connect()->Execute("DELETE FROM CadPosto WHERE Codigo = 'P3'");
    rs->Fields("Descricao").setValue("Perdido");
    const auto error = errorOf([&] { rs->Update(); });
    ASSERT_TRUE(error);
    EXPECT_EQ(hresult::RowNotFound, error->number());
    rs->CancelUpdate();
}

TEST_F(RecordsetTest, WhatCannotBeWrittenBackIsRefused)
{
    addStations(2);
    const auto readOnly = open(Stations, adUseClient, adOpenStatic, adLockReadOnly);
    const long notUpdatable = adErrFeatureNotAvailable;
    EXPECT_EQ(notUpdatable, errorOf([&] { readOnly->AddNew(); })->number());
    EXPECT_EQ(notUpdatable, errorOf([&] { readOnly->Fields("Descricao").setValue("x"); })->number());
    EXPECT_EQ(notUpdatable, errorOf([&] { readOnly->Delete(); })->number());

    const auto join = open("select p.Codigo, g.Descricao from CadPosto p left join CadGruMaq g on g.Codigo = p.Tipo",
                           adUseClient, adOpenKeyset, adLockOptimistic);
    join->Fields("Codigo").setValue("X");
    const auto error = errorOf([&] { join->Update(); });
    ASSERT_TRUE(error);
    EXPECT_EQ(hresult::GeneralFailure, error->number());
    EXPECT_EQ("Insufficient base table information for updating or refreshing.", error->description());
    join->CancelUpdate();
}

TEST_F(RecordsetTest, FindSearchesFromTheCurrentRow)
{
    addStations(5);
    const auto rs =
        open("select Codigo, Descricao, Tipo from CadPosto order by Codigo", adUseClient, adOpenStatic, adLockReadOnly);
    rs->Find("Codigo = 'p3'");
    EXPECT_EQ("P3", codeAt(*rs));
    rs->Find("Tipo = 1");  // the current row is searched first
    EXPECT_EQ("P4", codeAt(*rs));
    rs->Find("Tipo = 1", 1);
    EXPECT_TRUE(rs->adoEOF());
    EXPECT_EQ(adErrNoCurrentRecord, errorOf([&] { rs->Find("Tipo = 1"); })->number());
    rs->MoveLast();
    rs->Find("Descricao LIKE '*2'", 0, adSearchBackward);
    EXPECT_EQ("P2", codeAt(*rs));
    rs->Find("Codigo < 'P2'", 1, adSearchBackward);
    EXPECT_EQ("P1", codeAt(*rs));
    rs->Find("Codigo = 'P9'", 0, adSearchBackward);
    EXPECT_TRUE(rs->BOF());
    rs->MoveFirst();
    // Texts and field names match without regard to case, also outside ASCII (the Kelvin sign folds to "k").
    rs->Find("descricao <> 'POSTO 1'");
    EXPECT_EQ("P2", codeAt(*rs));
    cn->Execute("update CadPosto set Descricao = 'Ação \u212A' where Codigo = 'P4'");
    const auto again =
        open("select Codigo, Descricao from CadPosto order by Codigo", adUseClient, adOpenStatic, adLockReadOnly);
    again->Find("DESCRICAO = 'AÇÃO k'");
    EXPECT_EQ("P4", codeAt(*again));
    EXPECT_EQ(adErrItemNotFound, errorOf([&] { rs->Find("Nada = 1"); })->number());
    EXPECT_EQ(adErrInvalidArgument, errorOf([&] { rs->Find("Codigo"); })->number());
}

TEST_F(RecordsetTest, GetRowsHandsOutFieldsByRowAndMovesPastThem)
{
    addStations(3);
    const auto rs = open(Stations, adUseServer, adOpenForwardOnly, adLockReadOnly);
    rs->MoveNext();
    const auto two = rs->GetRows(5);
    ASSERT_EQ(2u, two.size());
    ASSERT_EQ(2u, two[0].size());
    EXPECT_EQ(vb::Variant("P2"), two[0][0]);
    EXPECT_EQ(vb::Variant("Posto 3"), two[1][1]);
    EXPECT_TRUE(rs->adoEOF());
    EXPECT_EQ(adErrNoCurrentRecord, errorOf([&] { rs->GetRows(); })->number());
    rs->MoveFirst();
    EXPECT_EQ(1u, rs->GetRows(1)[0].size());
    EXPECT_EQ("P2", codeAt(*rs));
}

TEST_F(RecordsetTest, ClosingTheConnectionClosesItsRecordsetsButNotDetachedOnes)
{
    addStations(2);
    const auto attached = open(Stations, adUseClient, adOpenStatic, adLockReadOnly);
    const auto rs = open(Stations, adUseClient, adOpenStatic, adLockOptimistic);
    rs->setActiveConnection(nullptr);
    EXPECT_EQ(nullptr, rs->ActiveConnection());
    cn->Close();
    EXPECT_EQ(adErrObjectClosed, errorOf([&] { attached->MoveNext(); })->number());
    rs->Fields("Descricao").setValue("Local");
    rs->Update();
    rs->MoveLast();
    EXPECT_EQ("P2", codeAt(*rs));
    rs->MoveFirst();
    EXPECT_EQ(vb::Variant("Local"), rs->Fields("Descricao").Value());
    EXPECT_EQ("Posto 1", stationName("P1"));

    const auto server = std::make_shared<Recordset>();
    server->Open(Stations, connect(), adOpenKeyset, adLockOptimistic);
    EXPECT_EQ(adErrObjectOpen, errorOf([&] { server->setActiveConnection(nullptr); })->number());
}

TEST_F(RecordsetTest, OpenNeedsAnOpenConnectionAndRowsToBeOpen)
{
    const auto rs = std::make_shared<Recordset>();
    EXPECT_EQ(adErrInvalidConnection, errorOf([&] { rs->Open(Stations); })->number());
    rs->Open("UPDATE CadPosto SET Tipo = 1", cn);
    EXPECT_EQ(adStateClosed, rs->State());
    rs->setCursorLocation(adUseClient);
    rs->Open(Stations);  // on the connection the first Open named
    EXPECT_EQ(adStateOpen, rs->State());
    EXPECT_EQ(adErrObjectOpen, errorOf([&] { rs->Open(Stations, cn); })->number());
    EXPECT_EQ(adErrObjectOpen, errorOf([&] { rs->setLockType(adLockOptimistic); })->number());
    EXPECT_EQ(hresult::StatementError,
              errorOf([&] { std::make_shared<Recordset>()->Open("select * from Nada", cn); })->number());
}

}  // namespace
