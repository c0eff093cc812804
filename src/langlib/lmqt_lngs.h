#pragma once
// Public interface of liblmqt_lngs, the language-support library that Qt
// Widgets programs load at run time (dlopen / dlsym, or LoadLibrary /
// GetProcAddress) to apply a language INI file to one of their forms and to
// fill string variables with numbered messages from such a file.
//
// The library works on the caller's own objects: the caller and the library
// must share one Qt 6 runtime (the same libQt6Core / libQt6Widgets in the
// process), because the library reads the caller's widgets and assigns the
// caller's QString variables.
//
// Binary interface. Both functions have C linkage, are exported under their
// plain names and return nothing. Arguments, in this order:
//   ZaladujJezyk(reserved, root, section, path)
//   ZaladujMSG(reserved, path, targets, count)
// The reserved argument and count are 32-bit signed integers; root, section,
// path and targets are pointer-wide (64 bits on a 64-bit platform). On x86-64
// Linux they use the platform's only C calling convention; a 32-bit Windows
// build uses __stdcall (callee removes the arguments).
//
// Texts. section and path are zero-terminated 8-bit strings in the system's
// 8-bit encoding: the file system's encoding for the path (what
// QFile::encodeName gives, UTF-8 here), the same encoding for the section
// name. The INI file itself is read as UTF-8 (a byte-order mark is allowed).
//
// Errors. A path that names no file (or a folder) does nothing. A file that
// exists but cannot be opened or read throws std::runtime_error (the C++
// runtime is shared with the caller as well); nothing of the caller has been
// changed then. Null pointers are ignored rather than dereferenced.
//
// Threads. Call from the thread that owns the widgets (the GUI thread).
//
// The library file carries its version and description in an ELF note
// section ".note.lumarq.version" (owner "Lumarq", data in hex with readelf -n):
//   strings -e S liblmqt_lngs.so | grep ^File
// prints "FileVersion=1.2.1.0" and "FileDescription=Obsługa wielu języków".

#include <cstdint>

class QString;
class QWidget;

#if defined(_WIN32) && !defined(_WIN64)
#define LMQT_LNGS_CALL __stdcall
#else
#define LMQT_LNGS_CALL
#endif

#if defined(LMQT_LNGS_BUILDING)
#if defined(_WIN32)
#define LMQT_LNGS_API __declspec(dllexport)
#else
#define LMQT_LNGS_API __attribute__((visibility("default")))
#endif
#else
#define LMQT_LNGS_API
#endif

extern "C" {

// Applies the INI file at `path` to `root` and the components it owns, using
// the keys of the section named `section`:
//  - the root's title: key "C" + the root's class name without its first
//    character ("CFLumarqPylon" for a root of class MainWindow);
//  - a component of the root: letter + objectName (+ item index), letters
//    C caption, T text, H hint (tool tip), F file filter, I list-view column
//    or status-bar panel, S combo-box / list-box / radio-group item, A and B
//    caption and hint of a labelled edit's label;
//  - a component inside a nested owner (a frame marked as owner) at depth d:
//    "X" + d in front of the same key ("X1CLabel1"); owners at one depth
//    share their keys.
// A combo box whose selected item is replaced loses its selection.
LMQT_LNGS_API void LMQT_LNGS_CALL ZaladujJezyk(std::int32_t reserved, QWidget* root, const char* section,
                                               const char* path);

// For i = 0 .. count - 1, sets *targets[i] to the value of key i (decimal) in
// the file's section [MSG], taken as it stands (no escapes). A missing key, a
// null entry or a count of 0 or less leaves the targets as they are.
LMQT_LNGS_API void LMQT_LNGS_CALL ZaladujMSG(std::int32_t reserved, const char* path, QString* const* targets,
                                             std::int32_t count);

}  // extern "C"

// Function pointer types for callers that look the exports up at run time.
using ZaladujJezykFn = void(LMQT_LNGS_CALL*)(std::int32_t, QWidget*, const char*, const char*);
using ZaladujMSGFn = void(LMQT_LNGS_CALL*)(std::int32_t, const char*, QString* const*, std::int32_t);
