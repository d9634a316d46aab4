// One-shot compression and decompression of a page of the paged files,
// through libdeflate's zlib-format functions: the output is one ordinary zlib
// stream (header, deflate data, Adler-32 trailer) that zlib's uncompress
// reads, and any complete zlib stream, whoever wrote it, is read back.
//
// A level (0..9) means the sizes zlib gives at it: each is served by the
// fastest plan that stays within 10% of zlib's size there on model data of
// the file's form. A plan compresses every page at a fast libdeflate level
// and, at levels 3 and up, compresses again at a strong level the pages the
// fast pass shrinks below an eighth (the highly redundant ones, where deeper
// search pays), keeping the smaller stream. Output is deterministic: the
// same page at the same level and kind always gives the same bytes.
//
// Each thread keeps one compressor per libdeflate level in use and one
// decompressor, made on first use and freed when the thread ends, so a page
// costs no allocation. Their memory comes from KHeapAlloc (a compressor for
// levels 1 to 3 about 200 KB, for 4 to 9 about 650 KB, the decompressor
// about 12 KB).
//
// Both answer zlib result codes, as PoolCompress and PoolUncompress do, so
// that callers map failures the same way whichever entry they use.
#pragma once

// What a file's pages hold: text lines or binary records. The plans differ.
enum KPageKind { kBinaryPages, kTextPages };

// Compresses sourceLen bytes at `level` (0..9; 0 stores the bytes in
// uncompressed blocks) with the plan for pages of `kind` into dest. *destLen: in, the room; out, the bytes
// produced (on Z_OK). Answers Z_OK, Z_BUF_ERROR when the stream does not fit
// the room, Z_STREAM_ERROR for a level outside 0..9, Z_MEM_ERROR when the
// compressor cannot be made.
int PageCompress(void* dest, unsigned long* destLen, const void* source, unsigned long sourceLen, int level,
                 KPageKind kind);

// Decompresses the zlib stream at the start of the sourceLen bytes into dest.
// *destLen: in, the room; out, the bytes produced (on Z_OK). Answers Z_OK,
// Z_BUF_ERROR when the data would pass the room, Z_DATA_ERROR for damaged or
// cut input (a wrong header or checksum, a stream that needs a dictionary),
// Z_MEM_ERROR when the decompressor cannot be made.
int PageUncompress(void* dest, unsigned long* destLen, const void* source, unsigned long sourceLen);

// The libdeflate level of the first pass at `level` (0..9) for pages of
// `kind`, for comparisons with libdeflate itself; -1 for a level outside 0..9.
int PageLibdeflateLevel(int level, KPageKind kind);

// The libdeflate level of the second pass at `level` (0..9) for pages of
// `kind`, 0 where there is none; -1 for a level outside 0..9.
int PageSecondPassLevel(int level, KPageKind kind);

// Frees this thread's compressors and decompressor now rather than at the
// end of the thread (they are made again when next needed).
void PageCompressRelease();
