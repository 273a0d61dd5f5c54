#include "Misc/AssertionMacros.h"

#include "Containers/UnrealString.h"
#include "Logging/LogMacros.h"

#include <cstdarg>

namespace
{
	std::string DescribeFailure(const std::string& Expression, const std::string& Message)
	{
		return Message.empty() ? "Assertion failed: " + Expression : "Assertion failed: " + Expression + " " + Message;
	}

	[[noreturn]] void Fail(const char* Expression, const char* File, int32 Line, std::string Message)
	{
		FMsg::Logf(LogCore.GetCategoryName(), ELogVerbosity::Error, "Assertion failed: %s [File:%s] [Line: %d]%s%s", Expression,
			File, Line, Message.empty() ? "" : " ", Message.c_str());
		throw FCheckFailure(Expression, std::move(Message), File, Line);
	}
}

FCheckFailure::FCheckFailure(std::string InExpression, std::string InMessage, const char* InFile, int32 InLine)
	: std::runtime_error(DescribeFailure(InExpression, InMessage))
	, Expression(std::move(InExpression))
	, Message(std::move(InMessage))
	, File(InFile)
	, Line(InLine)
{
}

void FDebug::CheckFailed(const char* Expression, const char* File, int32 Line)
{
	Fail(Expression, File, Line, std::string());
}

void FDebug::CheckFailedf(const char* Expression, const char* File, int32 Line, const TCHAR* Format, ...)
{
	va_list Args;
	va_start(Args, Format);
	const FString Message = FString::PrintfV(Format, Args);
	va_end(Args);
	Fail(Expression, File, Line, Message.ToStdString());
}

namespace UE::Core::Private
{
	void OnInvalidArrayIndex(int32 Index, int32 Num)
	{
		FDebug::CheckFailedf("IsValidIndex(Index)", __FILE__, __LINE__, "Array index out of bounds: %d into an array of size %d", Index, Num);
	}
}
