#pragma once

// The engine's logging macros. UE_LOG(Category, Verbosity, TEXT("format"), args...) formats
// with printf rules and sends "Category: Verbosity: message" to every output device; a
// Fatal message is logged and then raised as a failed check.

#include "Logging/LogCategory.h"
#include "Logging/LogVerbosity.h"

struct CORE_API FMsg
{
	static void Logf(const FName& Category, ELogVerbosity::Type Verbosity, const TCHAR* Format, ...)
		__attribute__((format(printf, 3, 4)));
	static void LogText(const FName& Category, ELogVerbosity::Type Verbosity, const TCHAR* Message);
};

#define UE_LOG(CategoryName, Verbosity, Format, ...)                                                         \
	do                                                                                                         \
	{                                                                                                          \
		if (!(CategoryName).IsSuppressed(::ELogVerbosity::Verbosity))                                          \
		{                                                                                                      \
			::FMsg::Logf((CategoryName).GetCategoryName(), ::ELogVerbosity::Verbosity, Format, ##__VA_ARGS__); \
		}                                                                                                      \
	} while (false)

/** The type of one log category: a subclass that bakes in the default verbosity and the name. */
#define VORPEX_LOG_CATEGORY_TYPE(CategoryName, DefaultVerbosity, CompileTimeVerbosity)                             \
	struct FLogCategory##CategoryName                                                                                \
		: public ::FLogCategory<::ELogVerbosity::DefaultVerbosity, ::ELogVerbosity::CompileTimeVerbosity>            \
	{                                                                                                                \
		FLogCategory##CategoryName()                                                                                 \
			: FLogCategory(TEXT(#CategoryName))                                                                      \
		{                                                                                                            \
		}                                                                                                            \
	}

#define DECLARE_LOG_CATEGORY_EXTERN(CategoryName, DefaultVerbosity, CompileTimeVerbosity) \
	extern VORPEX_LOG_CATEGORY_TYPE(CategoryName, DefaultVerbosity, CompileTimeVerbosity) CategoryName;

#define DEFINE_LOG_CATEGORY(CategoryName) FLogCategory##CategoryName CategoryName;

#define DEFINE_LOG_CATEGORY_STATIC(CategoryName, DefaultVerbosity, CompileTimeVerbosity) \
	static VORPEX_LOG_CATEGORY_TYPE(CategoryName, DefaultVerbosity, CompileTimeVerbosity) CategoryName;

CORE_API DECLARE_LOG_CATEGORY_EXTERN(LogTemp, Log, All);
CORE_API DECLARE_LOG_CATEGORY_EXTERN(LogCore, Log, All);
