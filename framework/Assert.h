#pragma once

// Assertions for our own invariants (never for host input, which is checked
// at the boundary and answered with the documented fallback).
//
// The expression is always evaluated, also in release builds, because some
// checked expressions carry the call they check. A failure goes to the
// installed handler with the expression text, the source file and the line.
// The default handler aborts in debug builds and does nothing in release
// builds: a plug-in must not take its host down for a programming error that
// it can survive.

namespace sorvano {

using AssertionHandler = void (*)(const char* expression, const char* file, int line);

// Installs a handler (null restores the default) and returns the previous one.
// Tests use this to observe assertion failures.
AssertionHandler SetAssertionHandler(AssertionHandler handler);

void AssertionFailed(const char* expression, const char* file, int line);

}  // namespace sorvano

#define SORVANO_ASSERT(expr) \
  ((expr) ? static_cast<void>(0) : ::sorvano::AssertionFailed(#expr, __FILE__, __LINE__))
