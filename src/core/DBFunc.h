#pragma once
// The program's only road to the database: one connection, a field list that the writes consume, reads,
// writes, caller transactions, SQL-dialect builders, schema maintenance and the server clock. The whole program shares the one
// instance BancoAtual() (core/BancoAtual.h); a lookup box keeps the instance its window hands it.
//
// Failures of the reads and writes never reach the caller: the member logs them (Util/ErroDBFunc.txt,
// Util/ErroDeadLock.txt), reruns a deadlock victim up to three times, shows its own message box and returns
// its failure result (null record set, empty value, 0 or false). CarregaXArrayDB, Insert2 and GetIni raise
// instead, with the source "ZubDB.<member>".

#include "core/DBFuncCol.h"
#include "runtime/Date.h"
#include "runtime/Variant.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace ADODB {
class Connection;
class Recordset;
}  // namespace ADODB

class Array2D;
class DBParametro;
class ListControl;

class DBFunc {
public:
    DBFunc();
    // Closes the connection when AbreConexao was told to (FechaConexaoAuto).
    ~DBFunc();
    DBFunc(const DBFunc&) = delete;
    DBFunc& operator=(const DBFunc&) = delete;

    // Connection settings, read and written by callers directly.
    int TipoConexao = 0;  // network library index 0..4
    int TipoBanco = 0;    // 0 SQL Server, 1 Access; set by a successful AbreConexao
    QString servidor;     // "Access" for an Access database
    QString BancoDados;   // database name, or the Access file
    QString Usuario;
    QString Senha;
    // Column name -> new value and value before, as text, of the columns the last Update(GravaLog) changed.
    QMap<QString, QString> Alterados;
    QMap<QString, QString> Originais;

    // A caller transaction (BenginTrans) is open.
    bool TransacaoAtiva() const { return m_transacaoAtiva; }

    // 1 connected (or already connected), 2 a database that does not exist (the provider's general failure
    // with the server's 4060), 0 any other failure (reported in a critical box with the server's own number
    // when there is one, else Err's). vTipoBanco: 0 SQL Server, 1 Access. Automatico reads the server
    // and database from <program folder>/Vorna.ini, section Conexao.
    int AbreConexao(int vTipoBanco, bool Automatico = false, int vTipoConexao = 0, const QString& vServidor = {},
                    const QString& vBancoDados = {}, const QString& vUsuario = {}, const QString& vSenha = {},
                    bool FechaConexaoAuto = true, std::int16_t TempoEspera = 60, int TimeOut = 30);
    // Creates the database: "Create Database [..]" on the server's Master (Tipo 0) or a new Access file
    // (Tipo 1). True when no error was left pending; errors are not reported, the last one stays in vb::Err.
    bool CriaBanco(int Tipo, const QString& vServidor, const QString& vBancoDados, const QString& vUsuario,
                   const QString& vSenha);
    // Fills a list with the descriptions of a table's rows, each line's item data its code. Filtro comes back
    // with its " Where " prefix when it was not blank.
    void AddCombo(ListControl& DbCombo, const QString& Tabela, const QString& CampoCodigo,
                  const QString& CampoDescricao, QString& Filtro, const QString& Ordem, bool LinhaEmBranco = false);
    void FechaConexao();

    // The field list: one entry per column name (compared without case), in the order first added. A blank
    // or missing value is stored as Null; apostrophes in text become back-quotes unless told otherwise.
    // Returns the new entry, or null when an existing entry took the value.
    std::shared_ptr<DBFuncCol> Add(const QString& Campo, const vb::Variant& Valor = {}, bool Atualizar = true,
                                   bool UcaseTexto = true, bool RemoveAspasSimples = true);
    // A position from 1 (9 Subscript out of range when there is none) or a column name (5 when unknown).
    std::shared_ptr<DBFuncCol> Item(const vb::Variant& Index) const;
    std::int16_t Count() const;
    // Raises 9 when there is no entry at that position.
    void Remove(std::int16_t Index);
    void RemoveAll();

    // The reader of the table Parametro; null until a connection was opened.
    std::shared_ptr<DBParametro> Parametro() const { return m_parametro; }

    // Reads. Tabela is the FROM part (or a whole statement for the record-set members), Filtro a condition
    // without WHERE, Ordem an ORDER BY list without the words.
    vb::Variant DBSeek(const QString& Tabela, const QString& CampoPesquisa, const QString& Filtro,
                       bool RetornaValorCampo = true, bool RetornaZero = false, const QString& Ordem = {});
    // The rows as an Array2D object indexed (column, row), or "" when there are none.
    vb::Variant CarregaArray(const QString& Consulta);
    // Replaces the rows of XArray (keeping its columns) with the rows of the statement.
    void CarregaXArrayDB(Array2D& XArray, const QString& Tabela);
    std::shared_ptr<ADODB::Recordset> CarregaObjeto(const QString& Tabela, bool ReadOnly = true, bool Server = false);
    // Checks the connection and reopens it silently with the stored settings when the check fails.
    void TestaConexao();
    // Desconectado: the record set is detached from the connection and stays usable offline.
    std::shared_ptr<ADODB::Recordset> CarregaRecordset(const QString& Tabela, bool Desconectado = false);
    std::int32_t RecordCount(const QString& Tabela, const QString& Filtro);
    double RecordSum(const QString& Tabela, const QString& Campo, const QString& Filtro, const QString& StrComplemento);
    double RecordMax(const QString& Tabela, const QString& Campo, const QString& Filtro);
    double RecordMin(const QString& Tabela, const QString& Campo, const QString& Filtro);
    bool RecordExists(const QString& Tabela, const QString& Filtro);

    // Writes. Insert and Update write the field list's values through a record set, never as SQL text;
    // Filtro, CampoUpdate, CampoInsert, CampoValor and Comando are SQL that the caller writes. Each opens a
    // transaction of its own on SQL Server unless the caller has one open.
    // The new row's identity when RetornaCodigo is not blank and the server made one, else True (-1); 0 on
    // failure.
    vb::Variant Insert(const QString& Tabela, const QString& RetornaCodigo = {}, bool RemoveCampo = true);
    // Many rows into one table inside one transaction: call with Finaliza false per row, then once with true.
    std::int32_t InsertTrans(const QString& Tabela, bool Finaliza,
                             const QString& RetornaCodigo = QStringLiteral("False"));
    // Raises failures to the caller (source "ZubDB.Insert2").
    bool Insert2(const QString& Tabela, const QString& CampoInsert, const QString& CampoValor);
    // Changes the first row that matches; GravaLog records the changed columns in Alterados and Originais.
    bool Update(const QString& Tabela, const QString& Filtro, bool RemoveCampo = true, bool GravaLog = false);
    bool Update2(const QString& Tabela, const QString& CampoUpdate, const QString& Filtro);
    // Changes every row that matches.
    bool UpdateTrans(const QString& Tabela, const QString& Filtro, bool RemoveCampo = true);
    // A blank Filtro deletes nothing and succeeds.
    bool Delete(const QString& Tabela, const QString& Filtro);
    bool ExecutaComando(const QString& Comando, bool MostraErro = true, bool Rotina = false);

    // Kept for the interface; they do nothing.
    vb::Variant CalculaCampo(const QString& FormulaCalculo);
    bool ValidaCampo(const QString& FormulaValida, const QString& MsgValida);

    // The connection itself (null when none); writing null forces AbreConexao to open a new one.
    std::shared_ptr<ADODB::Connection> VariavelADODBConnection() const { return m_cn; }
    void setVariavelADODBConnection(std::shared_ptr<ADODB::Connection> connection);

    // A value of an INI file as text; raises failures with the source "ZubDB.GetIni".
    vb::Variant GetIni(const QString& Section, const QString& Key, const QString& ArqIni);

    // Moves to the first row that satisfies an ADO find criterion; false, without moving, for a criterion
    // holding "'%'".
    bool FindFirst(ADODB::Recordset& AdoRst, const QString& Consulta);
    // The current row's position in percent of the record count (0 for an empty record set).
    double PercentPosition(ADODB::Recordset& Rst);

    // SQL fragments in the connection's dialect (TipoBanco 1 Access, anything else SQL Server). Arguments
    // are inserted verbatim.
    QString CondicaoZub(const QString& Expressao, const QString& RetornoVerdadeiro, const QString& RetornoFalso) const;
    QString Formata(const QString& Valor, const QString& Formato) const;
    QString FormataData(vb::Date Data) const;
    QString FormataHora(vb::Date Hora) const;
    QString UPPER(const QString& Texto) const;
    QString LOWER(const QString& Texto) const;
    QString DateDiffZUB(const QString& Intervalo, const QString& Data1, const QString& Data2) const;
    QString DateAddZUB(const QString& Intervalo, const QString& Numero, const QString& Data) const;
    QString CDblZub(const QString& Vlr) const;
    QString CStrZub(const QString& Vlr) const;
    QString IntZub(const QString& Vlr) const;
    QString NowZub() const;

    // Caller transactions: the writes open none of their own while one is active. Errors reach the caller.
    // On Access none is opened on the connection, so the writes inside stand on their own.
    void BenginTrans();
    void CommitTrans();
    void RollBackTrans();

    // The server's clock, the workstation's when the server gives Null.
    vb::Date Hora();
    vb::Date Data();
    vb::Date DataHora();

    // Schema maintenance. Column lists are "Cliente, Data desc": names, each with an optional sort word.
    // The statements go through ExecutaComando, which reports their failures; texts pasted between apostrophes
    // have theirs doubled. Tipo and TipoADO are ADO type codes.
    // Creates the table or adds the column, then saves its two properties; on an existing column only the
    // properties. Nome empty: the column's name.
    void AddCampoNoBanco(const QString& Tabela, const QString& Campo, int Tipo, bool Auto, bool NotNull = false,
                         const QString& Default = {}, const QString& PK_Tabela = {}, const QString& PK_Campo = {},
                         const QString& Nome = {}, const QString& Descricao = {});
    // The type for a new column; an unregistered code: the box "TIPO NÃO REGISTRADO" and "". Wide texts on
    // SQL Server take the type of PK_Tabela.PK_Campo when both are given.
    QString RetornaTipoSQL(int TipoADO, const QString& PK_Tabela = {}, const QString& PK_Campo = {});
    bool TabelaExiste(const QString& Tabela);
    bool CampoExiste(const QString& Tabela, const QString& Campo);
    // The column's data type name on SQL Server; "" on Access or without a connection.
    QString TipoCampo(const QString& Tabela, const QString& Campo);
    // True when a matching index exists or the statement made one. A primary key is unique, and on SQL Server
    // its columns become NOT NULL first.
    bool CriaIndice(QString Tabela, QString Colunas, bool Unico = false, bool ChavePrimaria = false);
    // SQL Server: the listed columns that allow NULL are altered to NOT NULL, keeping their type.
    void MudaParaNotNull(const QString& Tabela, const QString& Colunas);
    // Drops the matching index, when there is one. Errors are reported, not raised.
    void DeletaIndice(QString Tabela, QString Colunas, bool Unico = false, bool ChavePrimaria = false);
    // The column's extended properties Nome (50 characters) and MS_Description (255), added or updated.
    // Errors are reported, not raised.
    void SalvaPropridadesCampo(const QString& Tabela, const QString& Campo, const QString& Nome,
                               const QString& Descricao);
    // Nome true: the property Nome, else MS_Description; "" when it is not there. Errors are reported.
    QString RetornaPropriedadesCampo(const QString& Tabela, const QString& Campo, bool Nome);

private:
    // How one member reports a failure through the error template.
    struct Failure {
        QString tag;              // the ErroDBFunc.txt tag; the deadlock tag has one more leading blank
        QString subject;          // the statement or table the call works on
        QString message;          // the message box text before the CR
        bool withNumber = false;  // the box shows "<n> - <desc>" rather than the description alone
        int style = 0;            // message box style
        bool showBox = true;
        bool logEachDeadlock = true;  // false: log only the deadlock that ends the reruns
    };
    // Runs body, rerunning it at once for up to three deadlocks; logs and reports a failure, rolls back the
    // transaction the body began. True when the body completed.
    bool runReported(const Failure& failure, const std::function<void()>& body);
    void logDeadlock(const Failure& failure, int attempt, long number, const QString& description);

    // The transaction of a write of its own: begun unless the caller has one open (or always when forced),
    // on SQL Server only.
    void beginOwnTransaction(bool always = false);
    void commitOwnTransaction();
    void rollBackOwnTransaction();
    // Rolls back the connection's transaction, when it has one.
    void rollBackQuietly();

    // Schema maintenance's helpers. A column list's bare names; its normal form ("CLIENTE ASC,DATA DESC").
    static QStringList SeparaCampos(const QString& Colunas);
    static QString NormalizaOrdenacao(const QString& Colunas);
    // The normal column list of a table's index from the catalog; "" when the table or the index is missing.
    QString ColunasDoIndice(const QString& Tabela, const QString& Indice);
    // The name of the table's index with these columns and flags, "" when none; Tabela comes back upper
    // case and Colunas in normal form.
    QString ProcuraIndice(QString& Tabela, QString& Colunas, bool Unico, bool ChavePrimaria);
    bool isConnected() const;

    ADODB::Connection& connection() const;
    bool isAccess() const { return TipoBanco == 1; }
    // Column `column` of the one row of the failure's subject statement; Empty on failure.
    vb::Variant aggregate(const Failure& failure, const QString& column);
    // Gives the record set's current row the field list's values (only those marked Atualiza when
    // onlyUpdatable); GravaLog records the columns whose text changed in Alterados and Originais.
    void writeFieldList(ADODB::Recordset& recordset, bool onlyUpdatable, bool GravaLog);
    // The identity of the row just inserted through recordset, when RetornaCodigo asks for one.
    vb::Variant identityAfterInsert(ADODB::Recordset& recordset, const QString& RetornaCodigo);
    // Update and UpdateTrans: the rows of sql (the first only, or all) take the field list's values.
    bool updateRows(const QString& sql, const Failure& failure, bool allRows, bool GravaLog, bool RemoveCampo);
    // Runs sql inside a transaction of its own, through the error template.
    bool executeReported(const QString& sql, long options, const Failure& failure);

    std::shared_ptr<ADODB::Connection> m_cn;
    std::vector<std::shared_ptr<DBFuncCol>> m_campos;
    bool m_fechaAoTerminar = false;
    bool m_transacaoAtiva = false;
    bool m_ownTransaction = false;
    std::shared_ptr<DBParametro> m_parametro;
    std::shared_ptr<ADODB::Recordset> m_insertTransRecordset;
};
