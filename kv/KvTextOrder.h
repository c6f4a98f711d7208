#pragma once

#include <QString>

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

class QCollator;

// The order of a column of texts in Italian dictionary order, ignoring case
// (what a title click sorts by), as one integer rank per text, so that a sort
// and every filter of a sorted list compare integers. Texts of plain letters,
// digits, spaces and the Italian accented vowels are ordered by a folded copy
// (lower case, accents dropped), which orders them as the collator does; the
// collator decides the ties of the folded copies and every other text. Each
// entry keeps the text it was made from, so that a text changed since the
// last call gets a new entry and the others are reused.
class KvTextOrder {
 public:
  KvTextOrder();
  ~KvTextOrder();
  KvTextOrder(KvTextOrder&&) noexcept;
  KvTextOrder& operator=(KvTextOrder&&) noexcept;

  // Rank of each of the n texts: texts the collator finds equal rank equal,
  // the others in the collator's order.
  const std::vector<int>& Ranks(size_t n, const std::function<QString(size_t)>& textAt);
  // Entry i was removed: the ones after it move up by one.
  void Erase(size_t i);

  // The collator of the lists: Italian, case-insensitive.
  static const QCollator& Collator();

 private:
  struct Impl;
  std::unique_ptr<Impl> d;
};
