// How the engine's entry points are published. The engine's own sources are compiled with
// DENGINE_BUILDING: on Windows every entry point is then marked for export, so that the program that
// links the engine whole exports it by name; natively the entry points keep default visibility for
// the shared library that carries them.
#pragma once

#if defined(_WIN32) && defined(DENGINE_BUILDING)
#define DENGINE_API __declspec(dllexport)
#elif defined(__GNUC__) && !defined(_WIN32)
#define DENGINE_API __attribute__((visibility("default")))
#else
#define DENGINE_API
#endif
