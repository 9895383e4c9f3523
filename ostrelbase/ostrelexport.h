// Export macro of libostrelbase: only what carries OSTREL_API leaves the library.
#ifndef OSTREL_OSTRELEXPORT_H
#define OSTREL_OSTRELEXPORT_H

#if defined(OSTREL_STATIC)
#  define OSTREL_API
#elif defined(_WIN32) || defined(__CYGWIN__)
#  if defined(OSTREL_BUILDING)
#    define OSTREL_API __declspec(dllexport)
#  else
#    define OSTREL_API __declspec(dllimport)
#  endif
#elif defined(__GNUC__)
#  define OSTREL_API __attribute__((visibility("default")))
#else
#  define OSTREL_API
#endif

// Some accessors return const-qualified scalars, which is part of their declared
// interface; keep GCC and Clang quiet about the qualifier having no effect.
#if defined(__GNUC__)
#  define OSTREL_CONST_RETURN_BEGIN \
     _Pragma("GCC diagnostic push") _Pragma("GCC diagnostic ignored \"-Wignored-qualifiers\"")
#  define OSTREL_CONST_RETURN_END _Pragma("GCC diagnostic pop")
#else
#  define OSTREL_CONST_RETURN_BEGIN
#  define OSTREL_CONST_RETURN_END
#endif

#endif
