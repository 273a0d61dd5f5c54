#include "Logging/LogMacros.h"

#include "Containers/UnrealString.h"
#include "Misc/AssertionMacros.h"
#include "Misc/OutputDevice.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>

DEFINE_LOG_CATEGORY(LogTemp);
DEFINE_LOG_CATEGORY(LogCore);

const TCHAR* ToString(ELogVerbosity::Type Verbosity)
{
	switch (Verbosity)
	{
	case ELogVerbosity::NoLogging: return "NoLogging";
	case ELogVerbosity::Fatal: return "Fatal";
	case ELogVerbosity::Error: return "Error";
	case ELogVerbosity::Warning: return "Warning";
	case ELogVerbosity::Display: return "Display";
	case ELogVerbosity::Log: return "Log";
	case ELogVerbosity::Verbose: return "Verbose";
	case ELogVerbosity::VeryVerbose: return "VeryVerbose";
	default: return "Unknown";
	}
}

FLogCategoryBase::FLogCategoryBase(const TCHAR* InCategoryName, ELogVerbosity::Type DefaultVerbosity, ELogVerbosity::Type)
	: CategoryName(InCategoryName)
	, Verbosity(DefaultVerbosity)
{
}

void FMsg::Logf(const FName& Category, ELogVerbosity::Type Verbosity, const TCHAR* Format, ...)
{
	va_list Args;
	va_start(Args, Format);
	va_list Copy;
	va_copy(Copy, Args);
	const int Needed = std::vsnprintf(nullptr, 0, Format, Copy);
	va_end(Copy);
	std::string Message(static_cast<SIZE_T>(std::max(Needed, 0)), '\0');
	std::vsnprintf(Message.data(), Message.size() + 1, Format, Args);
	va_end(Args);
	LogText(Category, Verbosity, Message.c_str());
}

void FMsg::LogText(const FName& Category, ELogVerbosity::Type Verbosity, const TCHAR* Message)
{
	GLog->Serialize(Message, Verbosity, Category);
	if (Verbosity == ELogVerbosity::Fatal)
	{
		throw FCheckFailure("Fatal error", Message, __FILE__, __LINE__);
	}
}
