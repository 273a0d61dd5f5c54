#pragma once

// Checks: a failed check logs its text at Error and throws FCheckFailure, which engine
// boundaries (the render thread, the programs) catch and report. Unlike the engine, a
// failed check never aborts the process, so callers can report it and carry on.

#include "CoreTypes.h"

#include <stdexcept>
#include <string>

/** Thrown by a failed check; carries the checked expression and the optional message. */
class CORE_API FCheckFailure : public std::runtime_error
{
public:
	FCheckFailure(std::string InExpression, std::string InMessage, const char* InFile, int32 InLine);

	/** The text of the condition that failed, as written in the source ("Sides >= 3"). */
	const std::string& GetExpression() const { return Expression; }
	/** The formatted message of checkf/ensureMsgf; empty for the plain forms. */
	const std::string& GetMessage() const { return Message; }
	const char* GetFile() const { return File; }
	int32 GetLine() const { return Line; }

private:
	std::string Expression;
	std::string Message;
	const char* File;
	int32 Line;
};

struct CORE_API FDebug
{
	/** Logs the failure at Error and throws FCheckFailure. */
	[[noreturn]] static void CheckFailed(const char* Expression, const char* File, int32 Line);
	[[noreturn]] static void CheckFailedf(const char* Expression, const char* File, int32 Line, const TCHAR* Format, ...)
		__attribute__((format(printf, 4, 5)));
};

#define check(expr) \
	do { if (!(expr)) [[unlikely]] { ::FDebug::CheckFailed(#expr, __FILE__, __LINE__); } } while (false)
#define checkf(expr, format, ...) \
	do { if (!(expr)) [[unlikely]] { ::FDebug::CheckFailedf(#expr, __FILE__, __LINE__, format, ##__VA_ARGS__); } } while (false)
#define checkSlow(expr) check(expr)
#define checkNoEntry() ::FDebug::CheckFailed("Enclosing block should never be called", __FILE__, __LINE__)
#define verify(expr) check(expr)
#define verifyf(expr, format, ...) checkf(expr, format, ##__VA_ARGS__)
// ensure evaluates to true when the condition holds, so `if (ensure(X))` reads as in the engine.
#define ensure(expr) \
	((expr) ? true : (::FDebug::CheckFailed(#expr, __FILE__, __LINE__), false))
#define ensureMsgf(expr, format, ...) \
	((expr) ? true : (::FDebug::CheckFailedf(#expr, __FILE__, __LINE__, format, ##__VA_ARGS__), false))
#define ensureAlways(expr) ensure(expr)
