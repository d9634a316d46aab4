// KFlagDefence: scoped guard of a bool. It sets the flag for the length of a
// block and gives the old value back when the block is left, also when an
// exception leaves it. The restore happens only when the flag still holds the
// value set and that value differs from the one found, so a block that clears
// the flag itself keeps it cleared, and guarding an already-set flag restores
// nothing.
#pragma once

class KFlagDefence {
 public:
  KFlagDefence(bool& flag, bool value) : m_pFlag(&flag), m_value(value), m_found(flag) {
    if (flag != value) flag = value;
  }
  ~KFlagDefence() {
    if (!m_released && *m_pFlag == m_value && m_found != m_value) *m_pFlag = m_found;
  }
  // Stops the restore: the flag keeps whatever value it has.
  void release() { m_released = true; }

  KFlagDefence(const KFlagDefence&) = delete;
  KFlagDefence& operator=(const KFlagDefence&) = delete;

 private:
  bool* m_pFlag;
  bool m_value;
  bool m_found;
  bool m_released = false;
};
