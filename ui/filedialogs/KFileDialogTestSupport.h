// Shared by the file-dialog tests: message boxes recorded instead of shown,
// and the texts they are expected to carry.
#pragma once
#include "platform/KMessageBox.h"
#include "platform/KString.h"

#include <string>
#include <vector>

// While alive, every message box is recorded (text and button kind) and
// answered with `answer`.
class KRecordedMessages {
 public:
  explicit KRecordedMessages(int answer = IDOK) : m_answer(answer) {
    m_previous = AfxSetMessagePresenter([this](const char* text, UINT type) {
      shown.push_back(text);
      types.push_back(type & MB_TYPEMASK);
      return m_answer;
    });
  }
  ~KRecordedMessages() { AfxSetMessagePresenter(m_previous); }
  KRecordedMessages(const KRecordedMessages&) = delete;
  KRecordedMessages& operator=(const KRecordedMessages&) = delete;

  void setAnswer(int answer) { m_answer = answer; }

  std::vector<std::string> shown;
  std::vector<UINT> types;

 private:
  int m_answer;
  KMessagePresenter m_previous;
};

// The text of string resource `id` (empty when absent).
inline std::string resourceText(UINT id) {
  KString text;
  text.LoadString(id);
  return text.str();
}
