#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

// One column of a list, declared once: the grid's model column, its sort
// index entry and a search window's field all derive from it.
//
//   grFrame->SetColumns({{.field = "SCCDCODICE", .caption = "Codice", .width = 130},
//                        {.field = "FCCDIMPORTO", .caption = "Importo", .width = 95, .format = importo}});
struct KvColumn {
  QString field{};   // collection field or select item name (any letter case; "t.FIELD" allowed)
  QString caption{}; // header text; the field when empty
  int width = -1;    // pixels; -1 the view's default
  // Display text of a value; default: dates dd/MM/yyyy, numbers with the
  // Italian decimal comma, text as is, null as empty.
  std::function<QString(const QVariant& value)> format{};
  bool visible = true;
  // Offered to the quick search and to a search window's filter. Unset: by
  // the field's kind, text yes, dates and numbers no.
  std::optional<bool> searchable{};
  // A click on the title sorts by these fields ("A;B"; default the field),
  // those also in descFields descending on the first click. Not sortable:
  // no sort index entry.
  bool sortable = true;
  QString sortFields{};
  QString descFields{};
  bool readOnly = true;  // a grid made editable may type into it
};

using KvColumns = QList<KvColumn>;
