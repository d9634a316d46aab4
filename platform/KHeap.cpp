#include "platform/KHeap.h"

#include <cstdlib>

namespace {
long g_requests = 0;
long g_failAt = 0;  // request number that fails; 0 = none
}  // namespace

void* KHeapAlloc(size_t bytes) {
  if (++g_requests == g_failAt) {
    g_failAt = 0;
    return nullptr;
  }
  return std::malloc(bytes ? bytes : 1);
}

void KHeapFree(void* block) { std::free(block); }

void KHeapFailAfter(long n) {
  g_requests = 0;
  g_failAt = n > 0 ? n : 0;
}

long KHeapRequestCount() { return g_requests; }
