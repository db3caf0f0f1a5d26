#include "platform/recman/fp_control.h"

namespace zov::platform {

void RestoreFloatingPointControl() {
#if defined(__x86_64__) || defined(__i386__)
  const uint16_t control_word = kStandardX87ControlWord;
  __asm__ __volatile__("fldcw %0" : : "m"(control_word));
#if defined(__x86_64__) || defined(__SSE__)
  const uint32_t mxcsr = kStandardMxcsr;
  __asm__ __volatile__("ldmxcsr %0" : : "m"(mxcsr));
#endif
#endif
}

}  // namespace zov::platform
