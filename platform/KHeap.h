// KHeapAlloc / KHeapFree: the raw heap requests of the library's allocators
// and file layers, in one place so that tests can make a chosen request fail.
//
// A request answers null on failure and never throws; a request of 0 bytes
// still answers a distinct block (or null on failure). The failure hook is
// process-wide and, like the rest of the library, for use from one thread.
#pragma once
#include <cstddef>

// A block of at least `bytes` bytes aligned for any scalar type, or null.
void* KHeapAlloc(size_t bytes);
// Releases a block from KHeapAlloc; null is ignored.
void KHeapFree(void* block);

// Test hook: the n-th request after this call fails (answers null), once;
// 0 switches failures off. Either way the request counter restarts at 0.
void KHeapFailAfter(long n);
// Requests made since the last KHeapFailAfter (the failed one included).
long KHeapRequestCount();

// Test hooks: bytes held now in blocks from KHeapAlloc, and the most held
// since the last KHeapResetPeak (which starts it at what is held now).
size_t KHeapLiveBytes();
size_t KHeapPeakBytes();
void KHeapResetPeak();
