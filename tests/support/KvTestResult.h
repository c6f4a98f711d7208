#pragma once

#include "KvResult.h"

#include <gtest/gtest.h>

// ASSERT_TRUE(KvOk(result)): on failure the message carries the result's
// text and the engine's detail.
template <class T>
::testing::AssertionResult KvOk(const KvResult<T>& result) {
  if (result) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << result.error().toStdString() << (result.detail().isEmpty() ? "" : " / ")
                                       << result.detail().toStdString();
}
