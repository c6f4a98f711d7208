#include "KvTextOrder.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <optional>
#include <string>

namespace {

// The folded copy of a text made only of characters whose order the
// collator gives by their base letter alone: a-z, 0-9, space and the
// accented vowels of Italian (whose accent only breaks ties). nullopt for
// any other text.
std::optional<std::string> folded(const QString& text) {
  std::string out;
  out.reserve(size_t(text.size()));
  for (const QChar qc : text) {
    const char16_t c = qc.unicode();
    if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u' ') {
      out.push_back(char(c));
    } else if (c >= u'A' && c <= u'Z') {
      out.push_back(char(c - u'A' + u'a'));
    } else {
      switch (c) {
        case u'à': case u'À': out.push_back('a'); break;
        case u'è': case u'È': case u'é': case u'É': out.push_back('e'); break;
        case u'ì': case u'Ì': case u'í': case u'Í': case u'î': case u'Î': out.push_back('i'); break;
        case u'ò': case u'Ò': case u'ó': case u'Ó': out.push_back('o'); break;
        case u'ù': case u'Ù': case u'ú': case u'Ú': out.push_back('u'); break;
        default: return std::nullopt;
      }
    }
  }
  return out;
}

}  // namespace

struct KvTextOrder::Impl {
  struct Entry {
    QString text;
    bool made = false;
    std::optional<std::string> fold;
    std::optional<QCollatorSortKey> key;  // made when first needed
  };
  std::vector<Entry> entries;
  std::vector<int> ranks;

  const QCollatorSortKey& key(Entry& e) {
    if (!e.key) e.key = Collator().sortKey(e.text);
    return *e.key;
  }

  int compare(Entry& a, Entry& b) {
    if (a.fold && b.fold) {
      const int c = a.fold->compare(*b.fold);
      if (c != 0) return c;
    }
    return key(a).compare(key(b));
  }

  void rank() {
    const size_t n = entries.size();
    std::vector<int> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = int(i);
    std::sort(order.begin(), order.end(),
              [this](int a, int b) { return compare(entries[size_t(a)], entries[size_t(b)]) < 0; });
    ranks.assign(n, 0);
    int r = 0;
    for (size_t k = 0; k < n; ++k) {
      if (k > 0 && compare(entries[size_t(order[k - 1])], entries[size_t(order[k])]) != 0) ++r;
      ranks[size_t(order[k])] = r;
    }
  }
};

KvTextOrder::KvTextOrder() : d(std::make_unique<Impl>()) {}
KvTextOrder::~KvTextOrder() = default;
KvTextOrder::KvTextOrder(KvTextOrder&&) noexcept = default;
KvTextOrder& KvTextOrder::operator=(KvTextOrder&&) noexcept = default;

const std::vector<int>& KvTextOrder::Ranks(size_t n, const std::function<QString(size_t)>& textAt) {
  bool changed = d->ranks.size() != n;
  d->entries.resize(n);
  for (size_t i = 0; i < n; ++i) {
    Impl::Entry& e = d->entries[i];
    const QString text = textAt(i);
    if (e.made && e.text == text) continue;
    e.text = text;
    e.made = true;
    e.fold = folded(text);
    e.key.reset();
    changed = true;
  }
  if (changed) d->rank();
  return d->ranks;
}

void KvTextOrder::Erase(size_t i) {
  if (i < d->entries.size()) d->entries.erase(d->entries.begin() + std::ptrdiff_t(i));
  if (i < d->ranks.size()) d->ranks.erase(d->ranks.begin() + std::ptrdiff_t(i));
}

const QCollator& KvTextOrder::Collator() {
  static const QCollator c = [] {
    QCollator coll(QLocale(QLocale::Italian, QLocale::Italy));
    coll.setCaseSensitivity(Qt::CaseInsensitive);
    return coll;
  }();
  return c;
}
