-- The model database of the embedded server: every table of the plant that the scheduler reads or writes.
-- A new database is a copy of it. Declared types are SQL Server's names (the data layer derives field
-- types from them). Dates are text 'YYYY-MM-DD HH:MM:SS', a time of day alone is kept on day 0
-- ('1899-12-30 HH:MM:SS'), truth values are 0/1. Station codes compare without case, as on the server.
-- Statements are separated by semicolons, and comments never contain one.

-- Companies, clients and groups of work orders.
CREATE TABLE CadEmp (
    Codigo INT NOT NULL PRIMARY KEY,
    Nome VARCHAR(60),
    Fantasia VARCHAR(40)
);

CREATE TABLE CadCli (
    Codigo INT NOT NULL PRIMARY KEY,
    Nome VARCHAR(60),
    Fantasia VARCHAR(40)
);

CREATE TABLE CadGruOS (
    Codigo INT NOT NULL PRIMARY KEY,
    Descricao VARCHAR(60)
);

-- Machine groups. Tipo: 0 normal, 1 inspection, 2 dispatch (fixed 5 minutes), 3 services (lead time in
-- days), 5 lasers, 6 guillotines, 7 punching, 8 press brakes, 9 welding, 10 pre-dispatch.
CREATE TABLE CadGruMaq (
    Codigo INT NOT NULL PRIMARY KEY,
    Descricao VARCHAR(60),
    Tipo SMALLINT DEFAULT 0
);

-- Work stations. Tipo is the machine group (CadGruMaq.Codigo), RendMaq the yield in percent (0 or Null
-- counts as 100), QtdInterSeq the hours to wait after an operation before the next one of the part.
CREATE TABLE CadPosto (
    Codigo VARCHAR(10) COLLATE NOCASE NOT NULL PRIMARY KEY,
    Descricao VARCHAR(60),
    Tipo INT,
    Empresa INT,
    RendMaq FLOAT DEFAULT 100,
    QtdInterSeq FLOAT DEFAULT 0,
    inativo BIT DEFAULT 0,
    vornamaquina BIT DEFAULT 0
);
CREATE INDEX IX_CadPosto_Tipo_Empresa ON CadPosto (Tipo, Empresa);

-- Treatments with their lead time in days.
CREATE TABLE CadTrat (
    Codigo INT NOT NULL PRIMARY KEY,
    Descricao VARCHAR(60),
    LeadTime FLOAT
);

-- Weekly shift templates. Day columns are weekday numbers (1 = Sunday ... 7 = Saturday), hour columns a
-- time of day on day 0. A later moment on a later weekday crosses midnight (night shifts).
CREATE TABLE CadTur2 (
    Turno SMALLINT NOT NULL PRIMARY KEY,
    Descricao VARCHAR(60)
);

CREATE TABLE CadTur2Item (
    Auto INTEGER PRIMARY KEY AUTOINCREMENT,
    Turno SMALLINT NOT NULL,
    DiaInicio SMALLINT,
    HoraInicio DATETIME,
    DiaInicioIntervalo SMALLINT,
    HoraInicioIntervalo DATETIME,
    DiaFimIntervalo SMALLINT,
    HoraFimIntervalo DATETIME,
    DiaFim SMALLINT,
    HoraFim DATETIME
);
CREATE INDEX IX_CadTur2Item_Turno ON CadTur2Item (Turno, DiaInicio, HoraInicio);

-- Which stations work which shifts.
CREATE TABLE CadPostoTur (
    Auto INTEGER PRIMARY KEY AUTOINCREMENT,
    Posto VARCHAR(10) COLLATE NOCASE NOT NULL,
    Turno SMALLINT NOT NULL
);
CREATE UNIQUE INDEX IX_CadPostoTur_Posto_Turno ON CadPostoTur (Posto, Turno);
CREATE INDEX IX_CadPostoTur_Turno ON CadPostoTur (Turno);

-- The station calendar: one row per station and shift occurrence. The station works from Inicio to
-- InicioIntervalo and from FimIntervalo to Fim. Programado 0 = active working time, 1 = switched off.
CREATE TABLE CadCale2 (
    Auto INTEGER PRIMARY KEY AUTOINCREMENT,
    Turno SMALLINT,
    Posto VARCHAR(10) COLLATE NOCASE NOT NULL,
    Inicio DATETIME,
    InicioIntervalo DATETIME,
    FimIntervalo DATETIME,
    Fim DATETIME,
    Programado INT NOT NULL DEFAULT 0
);
CREATE INDEX IX_CadCale2_Posto_Inicio ON CadCale2 (Posto, Inicio);
CREATE INDEX IX_CadCale2_Turno_Inicio ON CadCale2 (Turno, Inicio);
CREATE INDEX IX_CadCale2_Inicio ON CadCale2 (Inicio);
CREATE INDEX IX_CadCale2_FimIntervalo ON CadCale2 (FimIntervalo);

-- Work orders. Situacao 0 and 1 are open, above 1 out of the load. OS_PCP marks a planning work order
-- that feeds a sales order (CadPed.NrServPCP).
CREATE TABLE CadOS (
    NrServ INT NOT NULL PRIMARY KEY,
    Descricao VARCHAR(60),
    Cliente INT,
    Empresa INT,
    GrupoOS INT,
    Data DATETIME,
    DtEntr DATETIME,
    Situacao SMALLINT DEFAULT 0,
    DataInicioMinimo DATETIME,
    OS_PCP BIT DEFAULT 0
);
CREATE INDEX IX_CadOS_Situacao ON CadOS (Situacao);

-- Sales orders and their items.
CREATE TABLE CadPed (
    NrPed INT NOT NULL PRIMARY KEY,
    Cliente INT,
    Data DATETIME,
    NrServPCP INT,
    PCP_PrevConclusao DATETIME
);
CREATE INDEX IX_CadPed_NrServPCP ON CadPed (NrServPCP);

CREATE TABLE CadPedItem (
    Auto INTEGER PRIMARY KEY AUTOINCREMENT,
    NrPed INT NOT NULL,
    NrServ INT,
    Quant FLOAT DEFAULT 1
);
CREATE INDEX IX_CadPedItem_NrPed ON CadPedItem (NrPed);
CREATE INDEX IX_CadPedItem_NrServ ON CadPedItem (NrServ);

-- Positions (parts) of a work order, a tree through Pai (0 or Null at the root). Positions are placed
-- in ascending Etapa. Hierarquia is the position's code in the tree, one level per 3 characters and a
-- separator.
CREATE TABLE CadPos (
    Auto INTEGER PRIMARY KEY AUTOINCREMENT,
    NrServ INT NOT NULL,
    Pai INT DEFAULT 0,
    Hierarquia VARCHAR(100),
    Etapa INT DEFAULT 0,
    Bruta VARCHAR(40),
    Revisao VARCHAR(10),
    Descricao VARCHAR(60),
    Quant FLOAT DEFAULT 1,
    Concluido SMALLINT DEFAULT 0
);
CREATE INDEX IX_CadPos_NrServ_Etapa ON CadPos (NrServ, Etapa);
CREATE INDEX IX_CadPos_Pai ON CadPos (Pai);

-- Operations of a position, placed in ascending Sequencia. Times in minutes: TempoPreparo set-up,
-- TempoUnitario per piece (Tempo is the per-piece time of the sequence mode). Apont2 'O' keeps the
-- operation out of scheduling. Data, Inicio and Termino are copied from the schedule.
CREATE TABLE CadSeq (
    Auto INTEGER PRIMARY KEY AUTOINCREMENT,
    NrServ INT NOT NULL,
    Posicao INT NOT NULL,
    Sequencia INT NOT NULL DEFAULT 0,
    Posto VARCHAR(10) COLLATE NOCASE,
    TempoPreparo FLOAT DEFAULT 0,
    TempoUnitario FLOAT DEFAULT 0,
    Tempo FLOAT DEFAULT 0,
    QtdApontada FLOAT DEFAULT 0,
    Apont2 VARCHAR(1),
    Concluido SMALLINT DEFAULT 0,
    NaoTrocarPosto SMALLINT DEFAULT 0,
    InicioMinimo DATETIME,
    LeadTime FLOAT,
    CodTrat INT,
    DataSequencia BIT DEFAULT 0,
    Data DATETIME,
    Inicio DATETIME,
    Termino DATETIME
);
CREATE INDEX IX_CadSeq_Posicao_Sequencia ON CadSeq (Posicao, Sequencia);
CREATE INDEX IX_CadSeq_NrServ ON CadSeq (NrServ);
CREATE INDEX IX_CadSeq_Posto ON CadSeq (Posto);

-- Executions reported on the shop floor. Executando 1 while running, Fim Null until it ends.
CREATE TABLE CadExe (
    Auto INTEGER PRIMARY KEY AUTOINCREMENT,
    Programa INT NOT NULL,
    Posto VARCHAR(10) COLLATE NOCASE,
    Inicio DATETIME,
    Fim DATETIME,
    Executando BIT DEFAULT 0
);
CREATE INDEX IX_CadExe_Programa ON CadExe (Programa);
CREATE INDEX IX_CadExe_Executando ON CadExe (Executando, Inicio);

-- Scrap requests. Situacao 0 requested (Qtd), 1 confirmed (QtdRejeitada).
CREATE TABLE CadSolRefugo (
    Auto INTEGER PRIMARY KEY AUTOINCREMENT,
    Programa INT NOT NULL,
    Situacao SMALLINT DEFAULT 0,
    Qtd FLOAT DEFAULT 0,
    QtdRejeitada FLOAT DEFAULT 0
);
CREATE INDEX IX_CadSolRefugo_Programa ON CadSolRefugo (Programa, Situacao);

-- The load queue: one row per work order, scheduled in ascending Ordem. The unique rule on NrServ makes
-- a second insert of a queued work order fail. Atrasado and Adiantado are whole days late or early.
CREATE TABLE CadFilaVorna (
    Auto INTEGER PRIMARY KEY AUTOINCREMENT,
    NrServ INT NOT NULL UNIQUE,
    Ordem INT,
    DataEntrega DATETIME,
    DataTermino DATETIME,
    Falhou BIT DEFAULT 0,
    Atrasado INT,
    Adiantado INT
);
CREATE INDEX IX_CadFilaVorna_Ordem ON CadFilaVorna (Ordem);

-- The schedule: one row per placed operation (SeqAuto = CadSeq.Auto), times to the minute.
CREATE TABLE CadProgVorna (
    Auto INTEGER PRIMARY KEY AUTOINCREMENT,
    SeqAuto INT NOT NULL,
    Posto VARCHAR(10) COLLATE NOCASE,
    Inicio DATETIME,
    Fim DATETIME
);
CREATE INDEX IX_CadProgVorna_SeqAuto ON CadProgVorna (SeqAuto);
CREATE INDEX IX_CadProgVorna_Posto_Inicio ON CadProgVorna (Posto, Inicio);
CREATE INDEX IX_CadProgVorna_Posto_Fim ON CadProgVorna (Posto, Fim);

-- Parameters: CadPar and CadParBex hold one row each, a parameter per column. Parametro holds named
-- settings, one row per name.
CREATE TABLE CadPar (
    Empresa INT,
    Proxy VARCHAR(100),
    PortaProxy INT DEFAULT 0,
    UserProxy VARCHAR(60),
    Password VARCHAR(60),
    CasasDecEnt SMALLINT DEFAULT 2,
    CasasDecSai SMALLINT DEFAULT 2,
    FonteMin SMALLINT DEFAULT 0
);

CREATE TABLE CadParBex (
    ultcale DATETIME,
    Refugo BIT DEFAULT 0,
    GerarOS_PCP BIT DEFAULT 0
);

CREATE TABLE Parametro (
    Parametro VARCHAR(60) COLLATE NOCASE NOT NULL PRIMARY KEY,
    Valor VARCHAR(255)
);

-- Field names offered to user scripts, and the scripts themselves (one per hook number).
CREATE TABLE CadCampo (
    Auto INTEGER PRIMARY KEY AUTOINCREMENT,
    Descricao VARCHAR(100)
);

CREATE TABLE CadScript (
    ID_Script INT NOT NULL PRIMARY KEY,
    Fonte TEXT
);

-- Saved queries of the lookup boxes, one per window and control.
CREATE TABLE CtrlText (
    Auto INTEGER PRIMARY KEY AUTOINCREMENT,
    Formulario VARCHAR(60) COLLATE NOCASE NOT NULL,
    Controle VARCHAR(60) COLLATE NOCASE NOT NULL,
    SQL TEXT
);
CREATE UNIQUE INDEX IX_CtrlText_Formulario_Controle ON CtrlText (Formulario, Controle);
