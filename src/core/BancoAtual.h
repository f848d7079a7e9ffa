#pragma once
// The program's one data-access object, created on first use and released at the end of the process.

class DBFunc;

DBFunc& BancoAtual();
