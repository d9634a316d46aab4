// One-shot compression and decompression of a page of the paged files,
// through libdeflate's zlib-format functions: the output is one ordinary zlib
// stream (header, deflate data, Adler-32 trailer) that zlib's uncompress
// reads, and any complete zlib stream, whoever wrote it, is read back.
//
// A level (0..9) means the sizes zlib gives at it: each is served by the
// fastest libdeflate level that stays within 3% of zlib's size there on model
// data, so several of our levels may share one libdeflate level.
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

// Compresses sourceLen bytes at `level` (0..9; 0 stores the bytes in
// uncompressed blocks) into dest. *destLen: in, the room; out, the bytes
// produced (on Z_OK). Answers Z_OK, Z_BUF_ERROR when the stream does not fit
// the room, Z_STREAM_ERROR for a level outside 0..9, Z_MEM_ERROR when the
// compressor cannot be made.
int PageCompress(void* dest, unsigned long* destLen, const void* source, unsigned long sourceLen, int level);

// Decompresses the zlib stream at the start of the sourceLen bytes into dest.
// *destLen: in, the room; out, the bytes produced (on Z_OK). Answers Z_OK,
// Z_BUF_ERROR when the data would pass the room, Z_DATA_ERROR for damaged or
// cut input (a wrong header or checksum, a stream that needs a dictionary),
// Z_MEM_ERROR when the decompressor cannot be made.
int PageUncompress(void* dest, unsigned long* destLen, const void* source, unsigned long sourceLen);

// The libdeflate level that serves `level` (0..9), for comparisons with
// libdeflate itself; -1 for a level outside 0..9.
int PageLibdeflateLevel(int level);

// Frees this thread's compressors and decompressor now rather than at the
// end of the thread (they are made again when next needed).
void PageCompressRelease();
