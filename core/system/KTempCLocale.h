// KTempCLocale: switches the C run-time locale to "C" for the life of a block,
// so that numbers are written and read with a '.' decimal point whatever the
// user's locale. Instances nest: only the outermost active one switches, and
// the locale found then is restored when the last active one ends. The nesting
// counter and the saved locale text are process-wide and not locked: use from
// one thread at a time.
#pragma once

class KTempCLocale {
 public:
  // Switches (or joins an enclosing switch) when `enable` is true; does
  // nothing otherwise.
  explicit KTempCLocale(bool enable = true);
  ~KTempCLocale();
  KTempCLocale(const KTempCLocale&) = delete;
  KTempCLocale& operator=(const KTempCLocale&) = delete;

  // Number of active switching instances in the process.
  static int depth();

 private:
  bool m_switched;
};
