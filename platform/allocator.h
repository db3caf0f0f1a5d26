// How the C library's allocator gives memory back to the system. A program
// that allocates and frees the same large blocks again and again (the XLSX
// writer's tables of each sheet, two sheets per book, thousands of books in
// a run) keeps freed memory for its next blocks instead of returning it and
// faulting in fresh pages each time. The peak stays what the program uses.
#ifndef ZOV_PLATFORM_ALLOCATOR_H_
#define ZOV_PLATFORM_ALLOCATOR_H_

namespace zov::platform {

// Call once, early in main(), before threads start. Does nothing where the
// C library offers no such setting.
void KeepFreedMemoryForReuse();

}  // namespace zov::platform

#endif  // ZOV_PLATFORM_ALLOCATOR_H_
