#pragma once

#include <QString>

#include <optional>
#include <type_traits>
#include <utility>

// What a failed operation tells the user: an Italian text, and where the
// failure came from the database, the engine's own text as detail.
struct KvFailure {
  QString text;
  QString detail;
};

// The outcome of an operation that can fail: a value, or the Italian text
// that says why not. Errors travel as values up to the window that shows
// them; nothing below a window opens a dialog or throws across a Qt slot.
//
//   KvResult<QVariant> r = KvSql::Scalar(sql, params);
//   if (!r) return r.failure();      // hand it on
//   use(*r);
template <class T>
class [[nodiscard]] KvResult {
 public:
  KvResult(T value) : m_value(std::move(value)) {}  // NOLINT: implicit by design
  KvResult(KvFailure failure) : m_failure(std::move(failure)) {}  // NOLINT

  bool ok() const { return m_value.has_value(); }
  explicit operator bool() const { return ok(); }
  const T& value() const& { return *m_value; }
  T& value() & { return *m_value; }
  T&& value() && { return std::move(*m_value); }
  const T& operator*() const& { return *m_value; }
  T& operator*() & { return *m_value; }
  const T* operator->() const { return &*m_value; }
  T* operator->() { return &*m_value; }
  T value_or(T fallback) const { return m_value ? *m_value : std::move(fallback); }

  const KvFailure& failure() const { return m_failure; }
  QString error() const { return m_failure.text; }
  QString detail() const { return m_failure.detail; }

 private:
  std::optional<T> m_value;
  KvFailure m_failure;
};

template <>
class [[nodiscard]] KvResult<void> {
 public:
  KvResult() = default;
  KvResult(KvFailure failure) : m_ok(false), m_failure(std::move(failure)) {}  // NOLINT

  bool ok() const { return m_ok; }
  explicit operator bool() const { return m_ok; }
  const KvFailure& failure() const { return m_failure; }
  QString error() const { return m_failure.text; }
  QString detail() const { return m_failure.detail; }

 private:
  bool m_ok = true;
  KvFailure m_failure;
};

using KvStatus = KvResult<void>;

// A failure with its Italian text (and the engine's text as detail).
inline KvFailure KvFail(QString text, QString detail = QString()) {
  return KvFailure{std::move(text), std::move(detail)};
}
