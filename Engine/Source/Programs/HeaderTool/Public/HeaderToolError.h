#pragma once

// FHeaderToolError: a problem in an input header or on the command line. Its message reads
// like a compiler's ("Foo.h:12: error: reason") so that build tools and editors can jump to
// the line.

#include <stdexcept>
#include <string>

class FHeaderToolError : public std::runtime_error
{
public:
	/** Line 0 means the problem concerns the whole file; an empty File means the command line. */
	FHeaderToolError(const std::string& File, int Line, const std::string& Reason);

private:
	static std::string Format(const std::string& File, int Line, const std::string& Reason);
};
