// The floating-point control state every record-manager call leaves behind.
// A loaded record-manager library may change the x87 control word or the
// SSE control register; the program's arithmetic assumes the standard
// setting, so each backend calls RestoreFloatingPointControl() after every
// call.
#ifndef ZOV_PLATFORM_RECMAN_FP_CONTROL_H_
#define ZOV_PLATFORM_RECMAN_FP_CONTROL_H_

#include <cstdint>

namespace zov::platform {

// x87: all exceptions masked, extended precision, round to nearest.
inline constexpr uint16_t kStandardX87ControlWord = 0x037F;
// SSE: all exceptions masked, round to nearest, no flush-to-zero.
inline constexpr uint32_t kStandardMxcsr = 0x1F80;

// Sets the x87 control word and MXCSR to the values above on x86 and
// x86-64. On other processors it does nothing: their floating-point state
// is left as the process found it.
void RestoreFloatingPointControl();

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_RECMAN_FP_CONTROL_H_
