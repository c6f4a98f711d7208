#include "TfmKvParametri.h"

#include "KvMessageDlg.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QIntValidator>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

QString applicationCode(const QString& entry) {
  return entry.section(QLatin1Char('='), 0, 0).trimmed().toUpper();
}

}  // namespace

TfmKvParametri::TfmKvParametri(TKvParamManager& manager, QWidget* parent) : TfmKvDialog(parent), m_manager(manager) {
  setObjectName(QStringLiteral("fmKvParametri"));
  setWindowTitle(QStringLiteral("Parametri"));

  // Groups in the order of the applications served, then any other.
  QStringList groups;
  for (const QString& app : m_manager.Applications())
    if (!applicationCode(app).isEmpty() && !groups.contains(applicationCode(app))) groups << applicationCode(app);
  for (const TKvParamDef& def : m_manager.Params()) {
    m_entries.push_back({def, nullptr, {}, {}});
    Entry& e = m_entries.back();
    if (e.def.application.trimmed().isEmpty()) e.def.application = TKvParamManager::ApplicationOf(def.key);
    e.def.application = e.def.application.trimmed().toUpper();
    if (!groups.contains(e.def.application)) groups << e.def.application;
  }

  for (const QString& group : groups) {
    QGroupBox* box = nullptr;
    QFormLayout* form = nullptr;
    for (Entry& e : m_entries) {
      if (e.def.application != group) continue;
      if (!box) {
        box = new QGroupBox(group, Content());
        form = new QFormLayout(box);
        ContentLayout()->addWidget(box);
      }
      if (e.def.kind == TKvParamKind::EnumList) {
        auto* combo = new QComboBox(box);
        connect(combo, &QComboBox::currentIndexChanged, this, [this] {
          if (!m_refilling) RefillLists();
        });
        e.control = combo;
      } else {
        auto* edit = new QLineEdit(box);
        if (e.def.kind == TKvParamKind::Integer) edit->setValidator(new QIntValidator(edit));
        e.control = edit;
      }
      e.control->setObjectName(e.def.key);
      form->addRow(e.def.caption.isEmpty() ? e.def.key : e.def.caption, e.control);
      if (m_manager.AfterCreateCtrl) m_manager.AfterCreateCtrl(e.def.key, e.control);
    }
  }
  ContentLayout()->addStretch(1);

  // One parameter at a time, list then value, so a list built later can
  // depend on a value read earlier.
  m_refilling = true;
  for (Entry& e : m_entries) {
    e.stored = m_manager.StoredValue(e.def.key);
    if (e.def.kind == TKvParamKind::EnumList) {
      const KvResult<TKvEnumList> list = m_manager.FillList(e.def, TKvParamValue{});
      if (!list) reportListError(e.def, list.failure());
      showList(e, list.value_or({}), QString());
    }
    showValue(e, m_manager.ReadValue(e.def, e.stored, e.list));
  }
  m_refilling = false;
}

const TfmKvParametri::Entry* TfmKvParametri::entry(const QString& key) const {
  for (const Entry& e : m_entries)
    if (e.def.key.compare(key.trimmed(), Qt::CaseInsensitive) == 0) return &e;
  return nullptr;
}

QWidget* TfmKvParametri::Control(const QString& key) const {
  const Entry* e = entry(key);
  return e ? e->control : nullptr;
}

QComboBox* TfmKvParametri::List(const QString& key) const {
  return qobject_cast<QComboBox*>(Control(key));
}

TKvParamValue TfmKvParametri::Value(const QString& key) const {
  const Entry* e = entry(key);
  return e ? valueOf(*e) : TKvParamValue{};
}

TKvParamValue TfmKvParametri::valueOf(const Entry& e) const {
  TKvParamValue value;
  if (auto* combo = qobject_cast<QComboBox*>(e.control)) {
    value.index = combo->currentIndex();
    if (value.index >= 0 && value.index < e.list.size()) {
      value.id = e.list[value.index].id;
      value.text = e.list[value.index].text;
    } else {
      value.index = -1;
    }
  } else if (auto* edit = qobject_cast<QLineEdit*>(e.control)) {
    value.text = edit->text();
  }
  return value;
}

void TfmKvParametri::showList(Entry& e, const TKvEnumList& list, const QString& keepId) {
  auto* combo = qobject_cast<QComboBox*>(e.control);
  if (!combo) return;
  const QSignalBlocker block(combo);
  e.list = list;
  combo->clear();
  int keep = -1;
  for (int i = 0; i < list.size(); ++i) {
    combo->addItem(list[i].text, list[i].id);
    if (!keepId.isEmpty() && list[i].id == keepId) keep = i;
  }
  combo->setCurrentIndex(keep);
}

void TfmKvParametri::showValue(Entry& e, const TKvParamValue& value) {
  if (auto* combo = qobject_cast<QComboBox*>(e.control)) {
    const QSignalBlocker block(combo);
    combo->setCurrentIndex(value.index >= 0 && value.index < e.list.size() ? value.index : -1);
  } else if (auto* edit = qobject_cast<QLineEdit*>(e.control)) {
    edit->setText(value.text);
  }
}

void TfmKvParametri::RefillLists() {
  m_refilling = true;
  for (Entry& e : m_entries) {
    if (e.def.kind != TKvParamKind::EnumList) continue;
    const TKvParamValue current = valueOf(e);
    const KvResult<TKvEnumList> filled = m_manager.FillList(e.def, current);
    if (!filled) reportListError(e.def, filled.failure());
    const TKvEnumList list = filled.value_or({});
    if (list != e.list) showList(e, list, current.id);
  }
  m_refilling = false;
}

void TfmKvParametri::reportListError(const TKvParamDef& def, const KvFailure& failure) {
  KvMessageDlg(QStringLiteral("Impossibile leggere le voci del parametro \"%1\".\n%2")
                   .arg(def.caption.isEmpty() ? def.key : def.caption, failure.detail),
               TMsgDlgType::mtError, mbOK);
}

bool TfmKvParametri::CanAccept() {
  QList<QPair<QString, QString>> values;
  for (const Entry& e : m_entries) {
    const QString stored = m_manager.WriteValue(e.def, valueOf(e));
    // Nothing chosen for a parameter never saved: nothing to store.
    if (e.stored.isNull() && stored.isEmpty()) continue;
    values.append({e.def.key, stored});
  }
  const KvStatus saved = m_manager.SaveValues(values);
  if (saved) return true;
  KvMessageDlg(QStringLiteral("Impossibile salvare i parametri.\n%1").arg(saved.detail()), TMsgDlgType::mtError, mbOK);
  return false;
}
