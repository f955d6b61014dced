#include "framework/Assert.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace sorvano {
namespace {

void DefaultHandler(const char* expression, const char* file, int line) {
#ifndef NDEBUG
  std::fprintf(stderr, "assertion failed: %s (%s:%d)\n", expression, file, line);
  std::abort();
#else
  (void)expression;
  (void)file;
  (void)line;
#endif
}

std::atomic<AssertionHandler> gHandler{&DefaultHandler};

}  // namespace

AssertionHandler SetAssertionHandler(AssertionHandler handler) {
  return gHandler.exchange(handler ? handler : &DefaultHandler);
}

void AssertionFailed(const char* expression, const char* file, int line) {
  gHandler.load()(expression, file, line);
}

}  // namespace sorvano
