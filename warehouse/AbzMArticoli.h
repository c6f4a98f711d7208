#pragma once

#include "KvResult.h"

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class TKvQueryCollection;

// The article registry shared by the whole suite: the articles (xqcArticoli)
// in the fast view (0: classification and VAT) or the complete view (1: the
// stock of the working institute and year too), and the suppliers of the
// current article (xqcFornitori). No widget here: the statements and the
// rules every post obeys, whatever path posts it. An article is deleted only
// while no row uses it, and the deletion is written to the warehouse log.
class TdmAbzArticoli : public QObject {
  Q_OBJECT
 public:
  explicit TdmAbzArticoli(QObject* parent = nullptr);
  ~TdmAbzArticoli() override;

  TKvQueryCollection* xqcArticoli;
  TKvQueryCollection* xqcFornitori;

  // 0 fast view, 1 complete view; takes effect at the next Apri.
  void SetVista(int vista);
  int Vista() const { return m_vista; }
  static QString SqlLista(int vista);

  // (Re)opens the articles for the working institute and year, on the
  // first row, without filter.
  KvStatus Apri();
  // (Re)opens the suppliers of an article (-1: none).
  KvStatus ApriFornitori(int idArticolo);
  int ArticoloFornitori() const { return m_articoloFornitori; }

  // A rule the article being typed breaks: the field to send the user to,
  // and the message.
  struct Rifiuto {
    QString campo;
    QString testo;
  };
  // The one check of an article being typed, for the save action and for
  // every post: code, description, manufacturer code, classification.
  std::optional<Rifiuto> Controlla() const;

  // Starts a new article with the next code; the failure says why no code
  // could be read (the row is started all the same, code empty).
  KvStatus NuovoArticolo();
  // Starts a new article with the description, notes, destination, product
  // code, detail and VAT rate of the current one, and the next code.
  KvStatus Duplica();

  // Historicizing the current article: why it cannot be (two stock rows in
  // the working year, stock not zero), and the historicizing itself.
  KvStatus PuoStoricizzare() const;
  KvStatus Storicizza();

  int IdCorrente() const;

  // Some article not historicized has two or more rows for one supplier.
  static KvResult<bool> FornitoriDoppi();
  // Keeps, for each article and supplier, the first row in order of last
  // loading (rows never loaded first) and deletes the others, then the rows
  // without supplier, all in one transaction; progress(done, total) over
  // the articles.
  static KvStatus EliminaFornitoriDoppi(const std::function<void(int, int)>& progress = {});

  static QString TestoArticoloUsato();
  static QString TestoDescrizioneDoppia();
  static QString TestoCodiceDoppio();
  static QString TestoCostruttoreDoppio();
  static QString TestoFornitoreDoppio();

 private:
  int m_vista = 0;
  int m_articoloFornitori = -1;
  // The article being deleted, for the warehouse log: its code, and
  // "id|code|description|".
  QString m_codiceCancellato;
  QString m_cancellato;
};
