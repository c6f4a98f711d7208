#include "KvTextOrder.h"

#include <gtest/gtest.h>

#include <QCollator>
#include <QRandomGenerator>
#include <QStringList>

namespace {

int sign(int v) { return (v > 0) - (v < 0); }

// Every pair of texts is ordered by the ranks as the collator orders it.
void expectCollatorOrder(const QStringList& texts, const std::vector<int>& ranks) {
  ASSERT_EQ(ranks.size(), size_t(texts.size()));
  const QCollator& coll = KvTextOrder::Collator();
  for (int i = 0; i < texts.size(); ++i)
    for (int j = 0; j < texts.size(); ++j)
      ASSERT_EQ(sign(ranks[size_t(i)] - ranks[size_t(j)]), sign(coll.compare(texts[i], texts[j])))
          << texts[i].toStdString() << " / " << texts[j].toStdString();
}

const std::vector<int>& ranksOf(KvTextOrder& order, const QStringList& texts) {
  return order.Ranks(size_t(texts.size()), [&texts](size_t i) { return texts[int(i)]; });
}

}  // namespace

TEST(KvTextOrder, RanksTextsAsTheItalianCollator) {
  const QStringList texts = {
      QString(), "", " ", "a", "A", "à", "À", "á", "ab", "a b", "a-b", "a_b", "àb", "ac", "Ab", "b",
      "e", "E", "è", "é", "È", "esito", "Èsito", "ESITO", "es", "esse", "Esse", "z", "Zeta", "zeta ",
      "0", "1", "10", "9", "09", "a1", "a 1", "1a", "Rossi", "ROSSI S.r.l.", "Rossi Srl", "Rossi s.r.l.",
      "D'Angelo", "DANGELO", "D Angelo", "dangelo", "Ñandú", "nandu", "Straße", "strasse", "æsop", "aesop",
      "città", "citta", "cittá", "Città", "perché", "perche", "perchè", "più", "piu", "úu", "uu",
      "Fornitura carta ROSSI 12", "Fornitura carta rossi 12", "Fornitura carta Rossi 2", "Fornitura  carta",
      "Qualità del servizio", "qualita", "prezzo più basso", "PREZZO", "Évora", "evora", "Ïs", "is"};
  KvTextOrder order;
  expectCollatorOrder(texts, ranksOf(order, texts));
}

TEST(KvTextOrder, RandomTextsOfLettersDigitsSpacesAndAccentsFollowTheCollator) {
  const QString alphabet = QStringLiteral("aAàbeEèéiìoòOuùUz 09.'");
  QRandomGenerator random(20261211);
  QStringList texts;
  for (int i = 0; i < 400; ++i) {
    QString s;
    const int length = int(random.bounded(6));
    for (int k = 0; k < length; ++k) s += alphabet[int(random.bounded(alphabet.size()))];
    texts << s;
  }
  KvTextOrder order;
  expectCollatorOrder(texts, ranksOf(order, texts));
}

// The entries are reused by position: a text changed since gets a new one,
// and a removed entry moves the ones after it up.
TEST(KvTextOrder, FollowsChangedAndRemovedTexts) {
  QStringList texts = {"Bianchi", "rossi", "Àlfa", "verdi", "Rossi"};
  KvTextOrder order;
  expectCollatorOrder(texts, ranksOf(order, texts));
  texts[1] = QStringLiteral("Zeta");
  expectCollatorOrder(texts, ranksOf(order, texts));
  texts.removeAt(0);
  order.Erase(0);
  expectCollatorOrder(texts, ranksOf(order, texts));
  texts << QStringLiteral("abete");
  expectCollatorOrder(texts, ranksOf(order, texts));
  EXPECT_EQ(ranksOf(order, texts), std::vector<int>({4, 1, 3, 2, 0}));  // Zeta, Àlfa, verdi, Rossi, abete
}
