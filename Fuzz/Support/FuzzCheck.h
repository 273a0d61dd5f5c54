#pragma once

// FUZZ_CHECK: a property every input must keep. A broken one prints the condition and aborts,
// which libFuzzer reports as a crash and saves the input that caused it.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(Condition)                                                                         \
	do                                                                                                \
	{                                                                                                 \
		if (!(Condition))                                                                             \
		{                                                                                             \
			std::fprintf(stderr, "%s:%d: fuzz check failed: %s\n", __FILE__, __LINE__, #Condition); \
			std::abort();                                                                             \
		}                                                                                             \
	} while (false)
