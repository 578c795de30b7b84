// SPDX-License-Identifier: MIT
// The option parser when memory runs out: it keeps its messages but ends the
// process with a failure status. This program replaces the global operator
// new so that one chosen allocation fails.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <new>

#include "hosts/desktop/anyoption.h"

namespace {
bool fail_next_allocation = false;

void* allocate(std::size_t size) {
  if (fail_next_allocation) {
    fail_next_allocation = false;
    throw std::bad_alloc();
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

// The parser writes on stdout; death tests see only stderr.
void failNextAllocationWithStdoutOnStderr() {
  dup2(STDERR_FILENO, STDOUT_FILENO);
  fail_next_allocation = true;
}

TEST(AnyOptionOutOfMemoryDeathTest, ConstructionReportsAndExitsWithFailure) {
  EXPECT_EXIT(
      {
        failNextAllocationWithStdoutOnStderr();
        AnyOption options;
      },
      testing::ExitedWithCode(EXIT_FAILURE),
      "^\nOPTIONS ERROR : Failed allocating memory\nExiting\\.\n$");
}

TEST(AnyOptionOutOfMemoryDeathTest, GrowingEachListReportsWhatWasBeingAddedAndExitsWithFailure) {
  EXPECT_EXIT(
      {
        AnyOption options(1, 1);
        options.setOption("first");
        failNextAllocationWithStdoutOnStderr();
        options.setOption("second");
      },
      testing::ExitedWithCode(EXIT_FAILURE),
      "^\nOPTIONS ERROR : Failed allocating extra memory \nWhile adding the option : "
      "\"second\"\nExiting\\.\n\n$");
  EXPECT_EXIT(
      {
        AnyOption options(1, 1);
        options.setFlag('a');
        failNextAllocationWithStdoutOnStderr();
        options.setFlag('b');
      },
      testing::ExitedWithCode(EXIT_FAILURE),
      "^\nOPTIONS ERROR : Failed allocating extra memory \nWhile adding the option: "
      "\"b\"\nExiting\\.\n\n$");
  EXPECT_EXIT(
      {
        AnyOption options;
        for (const char* line : {"one", "two", "three"}) options.addUsage(line);
        failNextAllocationWithStdoutOnStderr();
        options.addUsage("four");
      },
      testing::ExitedWithCode(EXIT_FAILURE),
      "^\nOPTIONS ERROR : Failed allocating extra memory \nWhile adding the usage/help  : "
      "\"four\"\nExiting\\.\n\n$");
}

}  // namespace
