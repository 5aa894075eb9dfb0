// Interlocked*: atomic operations on plain LONG and pointer variables, as the program declares them (volatile
// LONG fields shared between the user-interface thread and the calculation worker). Sequentially consistent, as
// Windows' full-barrier forms are.
#pragma once

#include "platform/base/wintypes.h"

// Each answers the new value.
inline LONG InterlockedIncrement(volatile LONG* target) { return __atomic_add_fetch(target, 1, __ATOMIC_SEQ_CST); }
inline LONG InterlockedDecrement(volatile LONG* target) { return __atomic_sub_fetch(target, 1, __ATOMIC_SEQ_CST); }

// Each answers the value before.
inline LONG InterlockedExchange(volatile LONG* target, LONG value)
{
  return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}
inline LONG InterlockedExchangeAdd(volatile LONG* target, LONG value)
{
  return __atomic_fetch_add(target, value, __ATOMIC_SEQ_CST);
}
// Stores `exchange` only when the target holds `comparand`.
inline LONG InterlockedCompareExchange(volatile LONG* target, LONG exchange, LONG comparand)
{
  __atomic_compare_exchange_n(target, &comparand, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
  return comparand;
}
inline PVOID InterlockedExchangePointer(PVOID volatile* target, PVOID value)
{
  return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}
inline PVOID InterlockedCompareExchangePointer(PVOID volatile* target, PVOID exchange, PVOID comparand)
{
  __atomic_compare_exchange_n(target, &comparand, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
  return comparand;
}

inline LONGLONG InterlockedIncrement64(volatile LONGLONG* target)
{
  return __atomic_add_fetch(target, 1, __ATOMIC_SEQ_CST);
}
inline LONGLONG InterlockedDecrement64(volatile LONGLONG* target)
{
  return __atomic_sub_fetch(target, 1, __ATOMIC_SEQ_CST);
}
inline LONGLONG InterlockedExchange64(volatile LONGLONG* target, LONGLONG value)
{
  return __atomic_exchange_n(target, value, __ATOMIC_SEQ_CST);
}
inline LONGLONG InterlockedCompareExchange64(volatile LONGLONG* target, LONGLONG exchange, LONGLONG comparand)
{
  __atomic_compare_exchange_n(target, &comparand, exchange, false, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
  return comparand;
}
