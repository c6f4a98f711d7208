#pragma once

#include "KvResult.h"

#include <QDate>

// The warehouse closing of the working institute and financial year: once
// the warehouse journal has a closing date, average costs are no longer
// recomputed from the articles window.
class TChiusura {
 public:
  // The closing date of the last journal row; an invalid date when there is
  // no row or the row is not closed.
  KvResult<QDate> DataChiusura() const;
  // True when the warehouse of the working year is not closed (nor unreadable).
  bool Aperto() const;
};
