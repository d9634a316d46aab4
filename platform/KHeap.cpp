#include "platform/KHeap.h"

#include <cstdlib>

#include <malloc.h>

namespace {
long g_requests = 0;
long g_failAt = 0;  // request number that fails; 0 = none
// Bytes held in blocks from KHeapAlloc, and the most held since the last reset.
size_t g_live = 0;
size_t g_peak = 0;
}  // namespace

void* KHeapAlloc(size_t bytes) {
  if (++g_requests == g_failAt) {
    g_failAt = 0;
    return nullptr;
  }
  void* block = std::malloc(bytes ? bytes : 1);
  if (block) {
    g_live += malloc_usable_size(block);
    if (g_live > g_peak) g_peak = g_live;
  }
  return block;
}

void KHeapFree(void* block) {
  if (!block) return;
  g_live -= malloc_usable_size(block);
  std::free(block);
}

void KHeapFailAfter(long n) {
  g_requests = 0;
  g_failAt = n > 0 ? n : 0;
}

long KHeapRequestCount() { return g_requests; }

size_t KHeapLiveBytes() { return g_live; }

size_t KHeapPeakBytes() { return g_peak; }

void KHeapResetPeak() { g_peak = g_live; }
