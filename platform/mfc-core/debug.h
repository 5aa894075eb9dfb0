// The framework's diagnostics. ASSERT and VERIFY check only in debug builds (VERIFY always evaluates);
// TRACE goes to stderr in debug builds.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace platform {
[[noreturn]] void AssertFailed(const char* expression, const char* file, int line);
}

#ifdef NDEBUG
#define ASSERT(f) ((void)0)
#define VERIFY(f) ((void)(f))
#define TRACE(...) ((void)0)
#else
#define ASSERT(f) ((f) ? (void)0 : ::platform::AssertFailed(#f, __FILE__, __LINE__))
#define VERIFY(f) ASSERT(f)
#define TRACE(...) ((void)std::fprintf(stderr, __VA_ARGS__))
#endif
#define ASSERT_VALID(pOb) ASSERT((pOb) != nullptr)
#define ASSERT_KINDOF(class_name, object) ASSERT((object)->IsKindOf(RUNTIME_CLASS(class_name)))
#define UNUSED_ALWAYS(x) ((void)(x))
