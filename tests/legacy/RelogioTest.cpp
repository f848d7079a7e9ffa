// The periodic reloader: when the chart's window has moved far enough for its zoom level, the operations
// that meet the window are loaded and handed over.

#include "LegacyDatabase.h"

#include "ado/Field.h"
#include "ado/Recordset.h"
#include "chart/clsRegua.h"
#include "legacy/DialectLiterals.h"
#include "legacy/clsRelogio.h"
#include "runtime/Err.h"
#include "support/FakeUiServices.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QPointer>
#include <QStringList>
#include <QTimer>

using test::at;
using test::ConnectionKind;

namespace {

const QDate monday(2026, 3, 2);

class Relogio : public testing::TestWithParam<ConnectionKind> {
protected:
    Relogio()
    {
        db.plant().addWorkOrder({.number = 40});
        const int position = db.plant().addPosition({.workOrder = 40, .drawing = "Eixo"});
        addOperation(position, 1, QTime(9, 0), QTime(10, 0));    // starts and ends in the window
        addOperation(position, 2, QTime(7, 0), QTime(9, 0));     // ends in it
        addOperation(position, 3, QTime(19, 0), QTime(23, 0));   // starts in it
        addOperation(position, 4, QTime(6, 0), QTime(22, 0));    // spans it
        addOperation(position, 5, QTime(21, 0), QTime(23, 0));   // after it
        addOperation(position, 6, QTime(9, 0), QTime(10, 0), false);
        regua.MomentoMin = at(monday, 8).serial;
        regua.MomentoMax = at(monday, 20).serial;
        regua.NivelZoom = 1;
        relogio.setBanco(&BancoAtual(), &regua);
        QObject::connect(&relogio, &clsRelogio::CarregouRegistros,
                         [this](std::shared_ptr<ADODB::Recordset>& registros) { received(registros); });
    }

    void addOperation(int position, int sequence, QTime start, QTime end, bool scheduled = true)
    {
        const int operation = db.plant().addOperation({.position = position, .sequence = sequence, .station = "P1"});
        db.file().run("UPDATE CadSeq SET DataSequencia = ?, Data = ?, Termino = ? WHERE Auto = ?",
                      {scheduled, QDateTime(monday, start), QDateTime(monday, end), operation});
        sequenceOf[operation] = sequence;
    }

    // The sequences of the loaded operations, in load order.
    void received(std::shared_ptr<ADODB::Recordset>& registros)
    {
        ++loads;
        EXPECT_TRUE(registros);
        if (!registros)
            return;
        QStringList sequences;
        for (registros->MoveFirst(); !registros->adoEOF(); registros->MoveNext()) {
            EXPECT_EQ(registros->Fields("desenho").Value().toString(), "Eixo");
            sequences << QString::number(sequenceOf.value(registros->Fields("Auto").Value().toLong()));
        }
        lastLoad = sequences.join(",");
        if (tickInsideHandler) {
            tickInsideHandler = false;
            tick();
        }
        if (failInHandler) {
            failInHandler = false;
            vb::raiseError(vb::ErrNo::InvalidProcedureCall);
        }
    }

    QTimer* timer() { return relogio.findChild<QTimer*>("Timer1"); }
    void tick() { ASSERT_TRUE(QMetaObject::invokeMethod(timer(), "timeout", Qt::DirectConnection)); }
    void moveWindow(double hours)
    {
        regua.MomentoMin += hours / 24;
        regua.MomentoMax += hours / 24;
    }

    test::LegacyDatabase db{GetParam()};
    clsRegua regua;
    clsRelogio relogio;
    QHash<int, int> sequenceOf;
    int loads = 0;
    QString lastLoad;
    bool tickInsideHandler = false;
    bool failInHandler = false;
};

}  // namespace

TEST_P(Relogio, ReloadsWhenTheWindowMovedPastTheZoomThreshold)
{
    ASSERT_TRUE(timer());
    EXPECT_FALSE(timer()->isActive());
    EXPECT_EQ(timer()->interval(), 1000);

    tick();
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(lastLoad, "4,2,1,3");  // by start: spans, ends in, inside, starts in

    moveWindow(5);
    tick();
    EXPECT_EQ(loads, 1);
    moveWindow(1);
    tick();
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(lastLoad, "4,3,5");

    // Measured from the last load, in either direction.
    moveWindow(-5);
    tick();
    EXPECT_EQ(loads, 2);
    regua.NivelZoom = 9;
    moveWindow(-1);
    tick();
    EXPECT_EQ(loads, 2);

    regua.NivelZoom = 0;
    tick();
    tick();
    EXPECT_EQ(loads, 4);

    // A tick while a load is being handed over does nothing.
    tickInsideHandler = true;
    tick();
    EXPECT_EQ(loads, 5);
    EXPECT_FALSE(tickInsideHandler);

    // An error of the owner's handler is reported, and the next tick loads again.
    failInHandler = true;
    tick();
    ASSERT_EQ(test::fakeUi().messageBoxes.size(), 1);
    EXPECT_TRUE(test::fakeUi().messageBoxes[0].prompt.contains("Invalid procedure call or argument"));
    tick();
    EXPECT_EQ(loads, 7);
}

TEST_P(Relogio, TimerRunsWhenEnabled)
{
    relogio.setIntervalo(10);
    relogio.setEnable(true);
    EXPECT_TRUE(timer()->isActive());
    EXPECT_EQ(timer()->interval(), 10);
    regua.NivelZoom = 0;
    const QDeadlineTimer deadline(10000);
    while (loads < 2 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_GE(loads, 2);
    relogio.setEnable(false);
    EXPECT_FALSE(timer()->isActive());
}

TEST_P(Relogio, DateAndTruthLiteralsFollowTheConnection)
{
    const vb::Date moment = at(QDate(2026, 12, 5), 14, 30);
    if (GetParam() == ConnectionKind::Access) {
        EXPECT_EQ(legacy::momentLiteral(BancoAtual(), moment), "#12/05/2026 14:30#");
        EXPECT_EQ(legacy::trueLiteral(BancoAtual()), "True");
    } else {
        EXPECT_EQ(legacy::momentLiteral(BancoAtual(), moment), "'2026-12-05 14:30'");
        EXPECT_EQ(legacy::trueLiteral(BancoAtual()), "1");
    }
}

TEST_P(Relogio, AHandlerMayReleaseTheReloader)
{
    auto* owned = new clsRelogio;
    QPointer<clsRelogio> watch(owned);
    owned->setBanco(&BancoAtual(), &regua);
    long records = -1;
    QObject::connect(owned, &clsRelogio::CarregouRegistros, [&](std::shared_ptr<ADODB::Recordset>& registros) {
        delete owned;
        // The record set handed over outlives the reloader until the handler returns.
        records = registros ? registros->RecordCount() : -2;
        registros.reset();
    });
    QTimer* ownedTimer = owned->findChild<QTimer*>("Timer1");
    ASSERT_TRUE(QMetaObject::invokeMethod(ownedTimer, "timeout", Qt::DirectConnection));
    EXPECT_TRUE(watch.isNull());
    EXPECT_EQ(records, 4);
    EXPECT_TRUE(test::fakeUi().messageBoxes.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(BothConnections, Relogio, testing::Values(ConnectionKind::Server, ConnectionKind::Access),
                         test::kindName);
