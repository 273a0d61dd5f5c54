#include "Logging/LogMacros.h"

#include "Containers/UnrealString.h"
#include "Logging/LogCategoryRegistry.h"
#include "Misc/AssertionMacros.h"
#include "Misc/OutputDevice.h"

#include <cstdarg>

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
	FLogCategoryRegistry::Get().RegisterCategory(*this);
}

void FMsg::Logf(const FName& Category, ELogVerbosity::Type Verbosity, const TCHAR* Format, ...)
{
	va_list Args;
	va_start(Args, Format);
	const FString Message = FString::PrintfV(Format, Args);
	va_end(Args);
	LogText(Category, Verbosity, *Message);
}

void FMsg::LogText(const FName& Category, ELogVerbosity::Type Verbosity, const TCHAR* Message)
{
	GLog->Serialize(Message, Verbosity, Category);
	if (Verbosity == ELogVerbosity::Fatal)
	{
		throw FCheckFailure("Fatal error", Message, __FILE__, __LINE__);
	}
}
