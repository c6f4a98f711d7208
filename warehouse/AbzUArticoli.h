#pragma once

#include "KvResult.h"

#include <QSqlDatabase>

// Routines of the article registry shared by the warehouse windows.

// True when no row of any institute or year refers to the article: voucher
// rows, warehouse order rows, procedure rows, expense request rows,
// experience rows, consumable-goods rows.
KvResult<bool> ArticoloNonUsato(int idArticolo, QSqlDatabase db = QSqlDatabase());
