#pragma once

// The state of a data set, shared by the query collection and the data
// source that binds controls to it. The values are the suite's own
// (0 browse, 1 insert, 2 edit).
enum class KvState { Inactive = -1, Browse = 0, Insert = 1, Edit = 2 };

inline bool KvEditing(KvState s) {
  return s == KvState::Insert || s == KvState::Edit;
}
