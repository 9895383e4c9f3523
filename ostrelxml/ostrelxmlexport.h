// Export macro of libostrelxml: only what carries OSTRELXML_API leaves the library.
#ifndef OSTRELXML_EXPORT_H
#define OSTRELXML_EXPORT_H

#if defined(OSTRELXML_STATIC)
#  define OSTRELXML_API
#elif defined(_WIN32) || defined(__CYGWIN__)
#  if defined(OSTRELXML_BUILDING)
#    define OSTRELXML_API __declspec(dllexport)
#  else
#    define OSTRELXML_API __declspec(dllimport)
#  endif
#elif defined(__GNUC__)
#  define OSTRELXML_API __attribute__((visibility("default")))
#else
#  define OSTRELXML_API
#endif

#endif
