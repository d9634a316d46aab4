// KTextFile: a text file written line by line, for traces and debug dumps.
// Lines go out exactly as given (the caller supplies line ends) through a
// buffer of kBufferSize bytes over CFile, and so over the current
// KFileSystem.
//
// Failures are results: every operation answers true when it failed. After
// the first failed write the file is closed and stays closed, so a broken
// trace never slows or stops the work that is being traced; the buffered
// text of the failed write is lost, everything written before it reached the
// file.
#pragma once
#include <string>

#include "platform/CFile.h"
#include "platform/KString.h"

class KTextFile {
 public:
  static constexpr size_t kBufferSize = 8192;

  KTextFile() = default;
  // Writes what is buffered and closes, ignoring errors.
  ~KTextFile();
  KTextFile(const KTextFile&) = delete;
  KTextFile& operator=(const KTextFile&) = delete;

  // Creates (or empties) path for writing.
  bool open(const char* path);
  // Creates a new diagnostic file "<folder>/QUELMM_<base>_0_<date>_<time>...txt"
  // named as the temporary model files are; no folder: the system's
  // temporary folder.
  bool openDiagnostic(const char* base, const char* folder = nullptr);

  // Writes text as it is. flag 0 buffers it; any other flag writes it
  // through to the file at once. True when the file is not open or the write
  // failed.
  bool writeLine(const char* text, int flag = 0);
  bool writeLine(const KString& text, int flag = 0) { return writeLine(text.GetString(), flag); }
  // Writes the buffer and forces it to the device.
  bool flush();
  // Writes the buffer and closes; closing a closed file does nothing.
  bool close();

  bool isOpen() const { return m_file.isOpen(); }
  KString getPath() const { return m_file.GetFilePath(); }

 private:
  bool writeBuffer();

  CFile m_file;
  std::string m_buffer;
};
