#pragma once

#include "KvResult.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include <optional>

class TKvQueryCollection;
struct TKvQueryProp;

// The stock row of one article for the working institute and financial
// year (xqcGiacenze), the statements that write it and the rules every post
// obeys, whatever path posts it. Every change is written to the warehouse
// log in the same transaction as the change itself, so a refused post
// leaves no log row and a stored change always has one; after an update the
// database recomputes the article's average cost in that transaction too.
class TdmAbzGiacenze : public QObject {
  Q_OBJECT
 public:
  explicit TdmAbzGiacenze(QObject* parent = nullptr);
  ~TdmAbzGiacenze() override;

  TKvQueryCollection* xqcGiacenze;

  // (Re)opens the stock row of the article (-1: none) and reads whether the
  // article moved in the working year and whether it is used at all.
  KvStatus Apri(int idArticolo);
  void Chiudi();
  int Articolo() const { return m_articolo; }
  // The article has voucher, order, procedure or request rows in the
  // working institute and year: its unit stays and its stock row cannot be
  // deleted.
  bool Movimentato() const { return m_movimentato; }
  // No row of any institute or year refers to the article.
  bool NonUsato() const { return m_nonUsato; }

  // The initial stock and initial unit cost may be changed only while the
  // suite's lock record (24003) holds 2; an update that changes them
  // otherwise is refused.
  static KvResult<bool> ValoriInizialiModificabili();

  // The one check of a row being typed, for the save action and every post.
  struct Rifiuto {
    QString campo;
    QString testo;
  };
  std::optional<Rifiuto> Controlla() const;

  // The average cost the database could not recompute after the last post
  // (the change itself is stored): the message to show, else empty.
  QString AvvisoCostoMedio() const { return m_avvisoCostoMedio; }
  static QString TestoErroreCostoMedio();
  static QString TestoGiacenzaMovimentata();
  static QString TestoValoriInizialiBloccati();

 private:
  QSqlDatabase connessione() const;
  KvResult<int> contaMovimenti() const;
  void primaDi(TKvQueryProp& p);
  void dopoDi(TKvQueryProp& p);

  int m_articolo = -1;
  bool m_movimentato = false;
  bool m_nonUsato = false;
  QString m_avvisoCostoMedio;
  // What the row held before the change being posted, for the log.
  double m_giacenzaPrima = 0;
  double m_costoPrima = 0;
  int m_unitaPrima = 0;
  int m_idCancellato = -1;
};
