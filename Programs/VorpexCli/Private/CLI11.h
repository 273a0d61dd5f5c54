#pragma once

// CLI11 declares a member function named check, which the engine's check macro would
// rewrite; the macro is set aside while CLI11 is read. Code below it must not call
// Option::check (the macro would take the call): Option::transform runs the same validators.

#pragma push_macro("check")
#undef check
#include <CLI/CLI.hpp>
#pragma pop_macro("check")
